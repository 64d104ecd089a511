#pragma once
// Text a user may type or paste that has broken programs like this one: quotes and SQL, LIKE's
// wildcards, NUL, lone surrogates, characters outside the BMP, format characters, nothing but
// white space, texts at and beyond the old 16-bit length, and a megabyte.

#include <ostream>
#include <string>
#include <vector>

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

}  // namespace moshitong::testing
