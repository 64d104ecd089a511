#include "ui/fonts.h"

#include <QFontDatabase>

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
    QFont font(face);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace moshitong
