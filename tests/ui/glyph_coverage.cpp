// Which characters of the dictionary the input box cannot draw. Every distinct character of the
// store's headwords and explanations is laid out in the box's font the way the box lays text out,
// with Qt's fallback through the installed fonts; one that still comes out as glyph 0 shows as an
// empty box.
//
//   glyph_coverage STORE [--rows]
//
// Prints the counts, then each character without a glyph and each private-use character with
// the rows it sits in (the first few, or with --rows every one). Exits 1 when a character outside
// the private-use area has no glyph, or when a private-use one, which has no standard meaning, is
// drawn with some face's glyph instead of the program's empty box.

#include <QChar>
#include <QGuiApplication>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/store.h"
#include "core/text.h"
#include "ui/fonts.h"

namespace moshitong {
namespace {

constexpr char32_t kCodePoints = 0x110000;
constexpr std::size_t kRowsShown = 3;
constexpr Table kTables[] = {Table::Concise, Table::English, Table::Chinese};

bool privateUse(char32_t c) {
    return (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000;
}

// Characters that are never drawn as a glyph: line breaks, tabs, joiners and the like.
bool invisible(char32_t c) {
    switch (QChar::category(c)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            return false;
    }
}

// Calls `visit` with each code point of the text; a lone surrogate is passed on as itself.
void forEachCodePoint(std::u16string_view text, const std::function<void(char32_t)>& visit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        visit(c);
    }
}

struct StatementCloser {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

// Calls `visit` with the headword, the explanation and the table of every row of the store.
void forEachRow(const Connection& conn,
                const std::function<void(Table, std::u16string_view, std::u16string_view)>& visit) {
    for (const Table table : kTables) {
        const std::string sql = "SELECT 单词, 解释 FROM " + toUtf8(tableName(table));
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(conn.handle(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
            throw StoreError(sqlite3_errcode(conn.handle()), sqlite3_errmsg(conn.handle()));
        }
        const std::unique_ptr<sqlite3_stmt, StatementCloser> statement(raw);
        const auto text = [&](int column) {
            const auto* units = static_cast<const char16_t*>(sqlite3_column_text16(raw, column));
            const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes16(raw, column));
            return units == nullptr ? std::u16string_view() : std::u16string_view(units, bytes / 2);
        };
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
            visit(table, text(0), text(1));
        }
        if (rc != SQLITE_DONE) {
            throw StoreError(rc, sqlite3_errmsg(conn.handle()));
        }
    }
}

std::string codePoint(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

// A character the report lists: one without a glyph, or one of the private-use area.
struct Listed {
    QString drawnBy;  // the family that draws it; empty for none
    std::size_t rows = 0;
    std::vector<std::string> places;  // "表 headword"
};

// Notes, for every listed character, the rows it occurs in.
void findRows(const Connection& conn, std::map<char32_t, Listed>& listed, bool allRows) {
    forEachRow(conn, [&](Table table, std::u16string_view word, std::u16string_view explanation) {
        std::vector<char32_t> inRow;
        const auto note = [&](char32_t c) {
            if (listed.contains(c) && std::find(inRow.begin(), inRow.end(), c) == inRow.end()) {
                inRow.push_back(c);
            }
        };
        forEachCodePoint(word, note);
        forEachCodePoint(explanation, note);
        for (const char32_t c : inRow) {
            Listed& entry = listed[c];
            if (allRows || entry.places.size() < kRowsShown) {
                entry.places.push_back(toUtf8(tableName(table)) + " " + toUtf8(word));
            }
            ++entry.rows;
        }
    });
}

int run(const std::filesystem::path& store, bool allRows) {
    Connection conn;
    conn.Open(store);

    std::vector<bool> seen(kCodePoints);
    forEachRow(conn, [&](Table, std::u16string_view word, std::u16string_view explanation) {
        const auto mark = [&](char32_t c) { seen[c] = true; };
        forEachCodePoint(word, mark);
        forEachCodePoint(explanation, mark);
    });

    const QFont font = songFont(10.5);
    std::size_t distinct = 0;
    std::size_t invisibles = 0;
    std::size_t withoutGlyph = 0;
    std::size_t foreignGlyph = 0;
    std::map<char32_t, Listed> listed;
    for (char32_t c = 0; c < kCodePoints; ++c) {
        if (!seen[c]) {
            continue;
        }
        ++distinct;
        if (invisible(c)) {
            ++invisibles;
            continue;
        }
        const QString family = drawingFamily(font, c);
        if (privateUse(c)) {
            // It has no standard meaning: anything but the program's empty box would show a
            // character that some font put there.
            foreignGlyph += family == privateUseFamily() ? 0 : 1;
            listed.emplace(c, Listed{family, 0, {}});
        } else if (family.isEmpty()) {
            ++withoutGlyph;
            listed.emplace(c, Listed{family, 0, {}});
        }
    }
    findRows(conn, listed, allRows);

    std::printf("%zu distinct characters, %zu of them invisible (line breaks and the like)\n",
                distinct, invisibles);
    std::printf("without a glyph in the box's fonts: %zu\n", withoutGlyph);
    std::printf("private use: %zu, of them drawn with another face's glyph: %zu\n",
                listed.size() - withoutGlyph, foreignGlyph);
    for (const auto& [c, entry] : listed) {
        const std::string shown = entry.drawnBy.isEmpty() ? "no glyph"
                                  : entry.drawnBy == privateUseFamily()
                                      ? "empty box"
                                      : entry.drawnBy.toStdString();
        std::printf("%s (%s) in %zu rows:", codePoint(c).c_str(), shown.c_str(), entry.rows);
        for (const std::string& place : entry.places) {
            std::printf(" [%s]", place.c_str());
        }
        std::printf("%s\n", entry.places.size() < entry.rows ? " ..." : "");
    }
    std::printf("box fonts: %s\n", qPrintable(font.families().join(u", ")));
    return withoutGlyph == 0 && foreignGlyph == 0 ? 0 : 1;
}

}  // namespace
}  // namespace moshitong

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && args[2] != "--rows")) {
        std::fprintf(stderr, "usage: glyph_coverage STORE [--rows]\n");
        return 2;
    }
    try {
        return moshitong::run(args[1].toStdString(), args.size() == 3);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "glyph_coverage: %s: %s\n", qPrintable(args[1]), error.what());
        return 2;
    }
}
