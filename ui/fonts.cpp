#include "ui/fonts.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <array>

namespace moshitong {

namespace {

// 宋体 under its Chinese and English names, then the Song/Ming serifs Linux distributions ship.
constexpr std::array kSongFaces = {
    u"宋体",
    u"SimSun",
    u"新宋体",
    u"NSimSun",
    u"Noto Serif CJK SC",
    u"Source Han Serif SC",
    u"Source Han Serif CN",
    u"思源宋体",
    u"AR PL UMing CN",
    u"AR PL SungtiL GB",
    u"Noto Serif CJK TC",
    u"AR PL UMing TW",
};

// Installed faces that draw CJK Extensions B to G (𪨊 in 怂's entry, 𭚦 in 彉's), behind the
// program's own face for them: Windows' own, then those a Linux desktop may have. Named, so that
// the box reaches them whatever order the desktop's fallback puts the installed faces in (Qt's
// list for Chinese on Windows has no Extension B face at all).
constexpr std::array kExtensionFaces = {
    u"SimSun-ExtB", u"SimSun-ExtG", u"MingLiU-ExtB", u"BabelStone Han", u"HanaMinB",
};

// Registers a face that comes with the program as a resource; its family, empty if it cannot be.
QString resourceFamily(const QString& path) {
    const int id = QFontDatabase::addApplicationFont(path);
    return QFontDatabase::applicationFontFamilies(id).value(0);
}

bool looksLikeSong(const QString& family) {
    return family.contains(u"Serif", Qt::CaseInsensitive) ||
           family.contains(u"Song", Qt::CaseInsensitive) ||
           family.contains(u"Ming", Qt::CaseInsensitive) || family.contains(u"宋");
}

}  // namespace

QString chooseSongFace(const QStringList& chineseFamilies) {
    for (const char16_t* face : kSongFaces) {
        const QString name = QString::fromUtf16(face);
        if (chineseFamilies.contains(name, Qt::CaseInsensitive)) {
            return name;
        }
    }
    for (const QString& family : chineseFamilies) {
        if (looksLikeSong(family)) {
            return family;
        }
    }
    if (!chineseFamilies.isEmpty()) {
        return chineseFamilies.front();
    }
    return QString::fromUtf16(kSongFaces.front());
}

QFont songFont(double pointSize) {
    // The classic character set 134 (GB2312) has no Qt counterpart; choosing a face that covers
    // Simplified Chinese is what it meant.
    static const QString face =
        chooseSongFace(QFontDatabase::families(QFontDatabase::SimplifiedChinese));
    static const QString privateUse = privateUseFamily();
    static const QString extension = extensionFamily();
    QStringList families{face, privateUse, extension};
    for (const char16_t* extension : kExtensionFaces) {
        families << QString::fromUtf16(extension);
    }
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QString privateUseFamily() {
    // Registered once; made by make-artwork.sh.
    static const QString family = resourceFamily(QStringLiteral(":/moshitong/private-use.ttf"));
    return family;
}

QString extensionFamily() {
    // Registered once; cut from BabelStone Han to the store's needs (make-extension-font.py).
    static const QString family = resourceFamily(QStringLiteral(":/moshitong/extension.ttf"));
    return family;
}

QString drawingFamily(const QFont& font, char32_t character) {
    QTextLayout layout(QString::fromUcs4(&character, 1), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    // Glyph 0 is a font's "missing" glyph, the empty box.
    const bool drawn =
        !runs.isEmpty() && std::all_of(runs.begin(), runs.end(), [](const QGlyphRun& run) {
            const QList<quint32> glyphs = run.glyphIndexes();
            return std::find(glyphs.begin(), glyphs.end(), 0U) == glyphs.end();
        });
    return drawn ? runs.front().rawFont().familyName() : QString();
}

}  // namespace moshitong
