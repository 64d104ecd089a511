#include <gtest/gtest.h>

#include <ostream>

#include "tools/lexi-build/pinyin.h"

namespace moshitong::builder {
namespace {

// A text with tone numbers and the same with tone marks.
struct Marking {
    std::string_view numbered;
    std::string_view marked;

    // Names the case in test listings instead of dumping its bytes.
    friend void PrintTo(const Marking& value, std::ostream* out) { *out << value.numbered; }
};

const Marking kReadings[] = {
    {"ni3 hao3", "nǐ hǎo"},      // on the only vowel
    {"ping2 guo3", "píng guǒ"},  // o of uo is the last vowel
    {"xie4 xie5", "xiè xie"},    // e wins; 5 is the neutral tone
    {"zhe4 ge5", "zhè ge"},
    {"hao3 de5", "hǎo de"},
    {"gui4 liu2", "guì liú"},  // iu/ui: the last vowel
    {"Ou1 zhou1", "Ōu zhōu"},  // o of ou; capital kept
    {"Zhong1 guo2", "Zhōng guó"},
    {"er4 ai4 an1 e4", "èr ài ān è"},
    {"nu:3 lu:4 lu:e4 nu:e4", "nǚ lǜ lüè nüè"},  // ü, and ü with e
    {"Lu:3", "Lǚ"},
    {"yi1 dian3 r5", "yī diǎn r"},        // erhua
    {"m2 m4 n2 ng3 hm5", "ḿ m̀ ń ňg hm"},  // syllabic nasals
    {"xx5", "xx"},
    {"san1 C", "sān C"},  // letters stay
    {"w o r d", "w o r d"},
    {"yi1 , er4", "yī , èr"},
    {"4S dian4", "4S diàn"},
};

class ToneMarks : public ::testing::TestWithParam<Marking> {};

TEST_P(ToneMarks, FollowTheStandardPlacement) {
    EXPECT_EQ(toneMarks(GetParam().numbered), GetParam().marked);
}

INSTANTIATE_TEST_SUITE_P(Cases, ToneMarks, ::testing::ValuesIn(kReadings));

TEST(MarkSyllable, RefusesWhatIsNotASyllable) {
    for (const std::string_view token :
         {"", "5", "C", "3C", "mp3", "r2", "a:3", "ni6", "ni0", "zhong", "中1"}) {
        EXPECT_FALSE(markSyllable(token)) << token;
    }
    EXPECT_EQ(markSyllable("ma1"), "mā");
}

class CrossReferences : public ::testing::TestWithParam<Marking> {};

TEST_P(CrossReferences, GetToneMarksInsideTheirBrackets) {
    EXPECT_EQ(markCrossReferences(GetParam().numbered), GetParam().marked);
}

// Senses that refer to other words, their readings in brackets.
INSTANTIATE_TEST_SUITE_P(
    Cases, CrossReferences,
    ::testing::Values(Marking{"old variant of 眾|众[zhong4]", "old variant of 眾|众[zhòng]"},
                      Marking{"used in 自個兒|自个儿[zi4 ge3 r5]",
                              "used in 自個兒|自个儿[zì gě r]"},
                      Marking{"(used with 得[de2] or 不[bu4] after a verb)",
                              "(used with 得[dé] or 不[bù] after a verb)"},
                      Marking{"abbr. for 卡拉OK[ka3 la1 O K]", "abbr. for 卡拉OK[kǎ lā O K]"},
                      Marking{"bye-bye (alternative for 拜拜[bai2 bai2])",
                              "bye-bye (alternative for 拜拜[bái bái])"},
                      Marking{"file format [mp3]", "file format [mp3]"},
                      Marking{"[see below] and [ ]", "[see below] and [ ]"},
                      Marking{"unclosed [zhong4", "unclosed [zhong4"},
                      Marking{"no brackets at all", "no brackets at all"}));

}  // namespace
}  // namespace moshitong::builder
