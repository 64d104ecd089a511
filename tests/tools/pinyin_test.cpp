#include <gtest/gtest.h>

#include <ostream>

#include "tools/lexi-build/pinyin.h"

namespace moshitong::builder {
namespace {

struct Reading {
    std::string_view numbered;
    std::string_view marked;

    // Names the case in test listings instead of dumping its bytes.
    friend void PrintTo(const Reading& value, std::ostream* out) { *out << value.numbered; }
};

class ToneMarks : public ::testing::TestWithParam<Reading> {};

TEST_P(ToneMarks, FollowTheStandardPlacement) {
    EXPECT_EQ(toneMarks(GetParam().numbered), GetParam().marked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToneMarks,
    ::testing::Values(Reading{"ni3 hao3", "nǐ hǎo"},      // on the only vowel
                      Reading{"ping2 guo3", "píng guǒ"},  // o of uo is the last vowel
                      Reading{"xie4 xie5", "xiè xie"},    // e wins; 5 is the neutral tone
                      Reading{"zhe4 ge5", "zhè ge"}, Reading{"hao3 de5", "hǎo de"},
                      Reading{"gui4 liu2", "guì liú"},  // iu/ui: the last vowel
                      Reading{"Ou1 zhou1", "Ōu zhōu"},  // o of ou; capital kept
                      Reading{"Zhong1 guo2", "Zhōng guó"}, Reading{"er4 ai4 an1 e4", "èr ài ān è"},
                      Reading{"nu:3 lu:4 lu:e4 nu:e4", "nǚ lǜ lüè nüè"},  // ü, and ü with e
                      Reading{"Lu:3", "Lǚ"}, Reading{"yi1 dian3 r5", "yī diǎn r"},  // erhua
                      Reading{"m2 m4 n2 ng3 hm5", "ḿ m̀ ń ňg hm"},        // syllabic nasals
                      Reading{"xx5", "xx"}, Reading{"san1 C", "sān C"},  // letters stay
                      Reading{"w o r d", "w o r d"}, Reading{"yi1 , er4", "yī , èr"},
                      Reading{"4S dian4", "4S diàn"}));

TEST(MarkSyllable, RefusesWhatIsNotASyllable) {
    for (const std::string_view token :
         {"", "5", "C", "3C", "mp3", "r2", "a:3", "ni6", "ni0", "zhong", "中1"}) {
        EXPECT_FALSE(markSyllable(token)) << token;
    }
    EXPECT_EQ(markSyllable("ma1"), "mā");
}

struct Sense {
    std::string_view raw;
    std::string_view marked;

    // Names the case in test listings instead of dumping its bytes.
    friend void PrintTo(const Sense& value, std::ostream* out) { *out << value.raw; }
};

class CrossReferences : public ::testing::TestWithParam<Sense> {};

TEST_P(CrossReferences, GetToneMarksInsideTheirBrackets) {
    EXPECT_EQ(markCrossReferences(GetParam().raw), GetParam().marked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CrossReferences,
    ::testing::Values(Sense{"old variant of 眾|众[zhong4]", "old variant of 眾|众[zhòng]"},
                      Sense{"used in 自個兒|自个儿[zi4 ge3 r5]", "used in 自個兒|自个儿[zì gě r]"},
                      Sense{"(used with 得[de2] or 不[bu4] after a verb)",
                            "(used with 得[dé] or 不[bù] after a verb)"},
                      Sense{"abbr. for 卡拉OK[ka3 la1 O K]", "abbr. for 卡拉OK[kǎ lā O K]"},
                      Sense{"bye-bye (alternative for 拜拜[bai2 bai2])",
                            "bye-bye (alternative for 拜拜[bái bái])"},
                      Sense{"file format [mp3]", "file format [mp3]"},
                      Sense{"[see below] and [ ]", "[see below] and [ ]"},
                      Sense{"unclosed [zhong4", "unclosed [zhong4"},
                      Sense{"no brackets at all", "no brackets at all"}));

}  // namespace
}  // namespace moshitong::builder
