#include <gtest/gtest.h>

#include "core/text.h"

namespace moshitong {
namespace {

TEST(Text, CrLfPairsGoButLoneBreaksStay) {
    EXPECT_EQ(removeCrLfPairs(u"ap\r\nple"), u"apple");
    EXPECT_EQ(removeCrLfPairs(u"a\rb\nc\n\r"), u"a\rb\nc\n\r");
    EXPECT_EQ(removeCrLfPairs(u"\r\r\n\n"), u"\r\n");
    EXPECT_EQ(removeAll(u"\ra\rb\r", u'\r'), u"ab");
}

TEST(Text, TrimsOnlyTheSpacesItNames) {
    EXPECT_EQ(trimSpaces(u"  ice cream  "), u"ice cream");
    EXPECT_EQ(trimSpaces(u"\u3000苹果 "), u"\u3000苹果");
    EXPECT_EQ(trimSpaces(u"\tx "), u"\tx");
    EXPECT_EQ(trimSpaces(u"    "), u"");
    EXPECT_EQ(trimQuerySpaces(u" \u3000 苹果\u3000 "), u"苹果");
    EXPECT_EQ(trimQuerySpaces(u"\u3000"), u"");
}

TEST(Text, Utf8RoundTripAndReplacementOfBrokenInput) {
    const std::u16string mixed = u"apple 苹果 \U0001F34E";
    EXPECT_EQ(fromUtf8(toUtf8(mixed)), mixed);
    EXPECT_EQ(toUtf8(u"苹"), "\xE8\x8B\xB9");
    EXPECT_EQ(fromUtf8("a\xFF"
                       "b"),
              u"a\uFFFDb");
    EXPECT_EQ(fromUtf8("\xE8\x8B"), u"\uFFFD\uFFFD");            // truncated sequence
    EXPECT_EQ(fromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong slash
    EXPECT_EQ(fromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    const std::u16string lone{u'x', char16_t{0xD800}, u'y'};
    EXPECT_EQ(toUtf8(lone), "x\xEF\xBF\xBDy");
}

TEST(Text, CodePointsToUtf8ReplaceWhatUtf8CannotHold) {
    EXPECT_EQ(toUtf8(U"a苹🍎"), "a\xE8\x8B\xB9\xF0\x9F\x8D\x8E");
    const std::u32string broken{U'x', char32_t{0xDFFF}, char32_t{0x110000}, U'y'};
    EXPECT_EQ(toUtf8(broken), "x\xEF\xBF\xBD\xEF\xBF\xBDy");
    EXPECT_EQ(toUtf8(std::u32string_view()), "");
}

}  // namespace
}  // namespace moshitong
