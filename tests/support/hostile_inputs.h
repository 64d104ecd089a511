#pragma once
// Text a user may type or paste that has broken programs like this one: quotes and SQL, LIKE's
// wildcards, NUL, lone surrogates, characters outside the BMP, format characters, nothing but
// white space, texts at and beyond the old 16-bit length, and a megabyte; and a store with rows
// for them to find.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/text.h"
#include "tests/support/temp_store.h"

namespace moshitong::testing {

struct Hostile {
    const char* name;
    std::u16string text;
};

inline void PrintTo(const Hostile& hostile, std::ostream* out) {
    *out << hostile.name;
}

inline std::u16string units(std::initializer_list<char16_t> list) {
    return std::u16string(list);
}

inline std::vector<Hostile> hostileInputs() {
    constexpr std::size_t kMegabyte = std::size_t{1} << 20;
    return {
        {"Quote", u"'"},
        {"TwoQuotes", u"''"},
        {"DontWithItsQuote", u"don't"},
        {"DropTable", u"'; drop table 英语单词; --"},
        {"Percent", u"%"},
        {"Underscore", u"_"},
        {"TwoPercents", u"%%"},
        {"Backslash", u"\\"},
        {"NulInside", units({u'a', u'\0', u'b'})},
        {"OnlyNul", units({u'\0'})},
        {"LoneHighSurrogate", units({0xD800})},
        {"LoneLowSurrogateInside", units({u'a', 0xDC00, u'b'})},
        {"SurrogatesSwapped", units({0xDC00, 0xD800})},
        {"OutsideTheBmp", u"\U0001F34E"},
        {"RareCjkOutsideTheBmp", u"\U00020000"},
        {"RightToLeftMark", u"\u200Fmark"},
        {"RightToLeftOverride", u"\u202Eelppa"},
        {"ZeroWidthJoinerAndBom", u"\uFEFFap\u200Dple"},
        {"SoftHyphen", u"ap\u00ADple"},
        {"OnlySpaces", u"     "},
        {"OnlyLineBreaks", u"\r\n\r\n"},
        {"LoneCarriageReturn", u"\r"},
        {"LoneLineFeed", u"\n"},
        {"SpacesBetweenLineBreaks", u" \r\n \r\n "},
        {"Ascii32767", std::u16string(32767, u'a')},
        {"Ascii32768", std::u16string(32768, u'a')},
        {"Chinese32767", std::u16string(32767, u'中')},
        {"Chinese32768", std::u16string(32768, u'中')},
        {"Percent32768", std::u16string(32768, u'%')},
        {"Underscore32768", std::u16string(32768, u'_')},
        {"MegabyteAscii", std::u16string(kMegabyte, u'a')},
        {"MegabyteChinese", std::u16string(kMegabyte, u'中')},
        {"MegabyteOfPercent", std::u16string(kMegabyte, u'%')},
        {"MegabyteMixed",
         std::u16string(kMegabyte / 2, u'中') + std::u16string(kMegabyte / 2 + 1, u'_')},
    };
}

// Rows chosen so that the hostile inputs have something to find (a quote, a percent sign, an
// underscore, a backslash, characters outside the BMP, a right-to-left mark, Null fields) and so
// that the wildcards alone reach the cap of 101 entries. No value holds a CR LF pair, so a listing
// can be read back unambiguously.
inline std::vector<TempRow> hostileStoreRows() {
    std::vector<TempRow> rows =
        rowsOf(Table::Concise,
               u"apple\tn. 苹果\ndon't\t不要\no'clock\t点钟\n100%\t百分之百\n"
               u"a_b\t下划线\nback\\slash\t反斜杠\n\U0001F34E\t苹果符号\n"
               u"\u200Fmark\t从右到左的标记\nbanana\t香蕉");
    rows.push_back({Table::Concise, u"nothing", std::nullopt});
    rows.push_back({Table::English, std::nullopt, u"无词头"});
    const auto add = [&rows](std::vector<TempRow> more) {
        rows.insert(rows.end(), more.begin(), more.end());
    };
    add(rowsOf(Table::English, u"apple\t苹果\ndon't\t不要\n100%\t百分之百\n\U0001F34E\t苹果符号"));
    add(rowsOf(Table::Chinese, u"苹果\tapple\n\U00020000字\ta rare character\n百分之百\t100%"));
    for (int i = 0; i < 150; ++i) {
        const std::u16string n = fromUtf8(std::to_string(i));
        rows.push_back({Table::Concise, u"many" + n, u"多" + n});
        rows.push_back({Table::English, u"many" + n, u"多" + n});
        rows.push_back({Table::Chinese, u"多" + n, u"many" + n});
    }
    return rows;
}

// The store of hostileStoreRows(), written once per test program. Tests that damage a store
// work on a copy.
inline const std::filesystem::path& hostileStore() {
    static const TestStore store(hostileStoreRows());
    return store.path();
}

}  // namespace moshitong::testing
