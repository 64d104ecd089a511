#include <gtest/gtest.h>

#include "tests/support/named_case.h"
#include "tools/lexi-build/clean.h"
#include "tools/lexi-build/ecdict.h"

namespace moshitong::builder {
namespace {

using testing::caseName;
// The raw text and what it becomes.
using TextCase = testing::NamedCase<std::string_view>;

// The raw texts are written as ECDICT stores them: a line break is the two characters \ and n.
const TextCase kTexts[] = {
    {"EscapedLineBreaks", R"(n. 苹果, 家伙\n[医] 苹果)", "n. 苹果, 家伙\r\n[医] 苹果"},
    {"EscapedCrLfIsOneBreak", R"(1. one\r\n2. two)", "1. one\r\n2. two"},
    {"RealLineBreaks", "a\r\nb\nc\rd", "a\r\nb\r\nc\r\nd"},
    {"HtmlBreaks", "n. 通路;进入<br />v. 存取<br/>vt. 访问<BR>vi. 取数",
     "n. 通路;进入\r\nv. 存取\r\nvt. 访问\r\nvi. 取数"},
    {"Entities", " （软件）&beta;版 &amp; &#946; &#x3B2; &lt;废&gt;", "（软件）β版 & β β <废>"},
    {"UnknownOrBrokenEntitiesStay", "AT&T &bogus; &#xZZ; &", "AT&T &bogus; &#xZZ; &"},
    {"TabsAndRunsOfSpaces", "abbr. 补体4（\t complement 4）", "abbr. 补体4（ complement 4）"},
    {"SpacesAtLineEndsOfEveryWidth", "\t\u3000 n. 雪鞋 \u00A0\\n  vi. 穿雪鞋走路\u3000",
     "n. 雪鞋\r\nvi. 穿雪鞋走路"},
    {"BlankLinesDropped", R"(\n\n a \n\n b\n)", "a\r\nb"},
    {"NothingButBreaksIsEmpty", R"( \n <br /> \r\n )", ""},
    {"EscapedBackslashAndOthers", R"(C:\\dos \x)", R"(C:\dos \x)"},
    // GBK-era private-use code points that GB 18030 gives standard characters, written
    // directly or as an entity: ḿ, both ends of the vertical forms, a radical, a character of
    // Extension B and the table's last.
    {"PrivateUseWithAStandardCharacter", "\uE7C7 \uE78D\uE796 \uE815 \uE816 &#xE864;",
     "\u1E3F \uFE10\uFE19 \u2E81 \U00020087 \u9FBB"},
    // GBK's user-defined codes mean nothing standard, nor do the neighbours of the table's
    // code points: they stay, and so does the entry around them.
    {"UserDefinedPrivateUseStays", "灰吕\uE235, \uE7B3咬病 \uE000\uE78C\uE797\uE865",
     "灰吕\uE235, \uE7B3咬病 \uE000\uE78C\uE797\uE865"},
};

class CleanText : public ::testing::TestWithParam<TextCase> {};

TEST_P(CleanText, GivesPlainLinesJoinedByCrLf) {
    EXPECT_EQ(cleanText(GetParam().given), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, CleanText, ::testing::ValuesIn(kTexts), caseName);

TEST(JoinWrappedLines, JoinsHardWrappedSentencesButKeepsItems) {
    const std::vector<std::string> raw = {
        "definite article. A word placed before nouns to limit or",
        "individualize their meaning.",
        "adv. By that; by how much; -- used",
        "before comparatives; as, the more",
        "difficult it is.",
        "n the branch of engineering",
        "v have the quality of being",
        "> an example sentence",
        "2. a numbered sense",
    };
    const std::vector<std::string> expected = {
        "definite article. A word placed before nouns to limit or individualize their meaning.",
        "adv. By that; by how much; -- used before comparatives; as, the more difficult it is.",
        "n the branch of engineering",
        "v have the quality of being",
        "> an example sentence",
        "2. a numbered sense",
    };
    EXPECT_EQ(joinWrappedLines(raw), expected);
}

const TextCase kPhonetics[] = {
    {"AlreadyIpa", "ˈæpl", "ˈæpl"},
    {"ApostropheAndColon", "'hʊd i:", "ˈhʊd iː"},
    {"CommaBeforeSyllableIsSecondaryStress", ",skrɑ:vən'hɑ:ɡə", "ˌskrɑːvənˈhɑːɡə"},
    {"CommaBetweenTranscriptionsStays", "blɑ:st, blæstik", "blɑːst, blæstik"},
    {"LeadingFullStopIsSecondaryStress", ".æpli'keiʃən 'bæt(ə)l.æks", "ˌæpliˈkeiʃən ˈbæt(ə)l.æks"},
    {"CyrillicAndGreekLookAlikes", "'єәriәl εə", "ˈɛəriəl ɛə"},
    {"OldFontCodes", R"(ә,bærɔ^'nәusis әbajt't\\\\:n)", "əˌbærɔɡˈnəusis əbajtˈtɜːn"},
    {"AsciiG", "'ɑːgə", "ˈɑːɡə"},
    {"OtherStressMarks", "ˊæbәtsi ´a ʹb", "ˈæbətsi ˈa ˈb"},
    {"PrivateUseAndBarredO", "ˈæmf\uE143θ\uE143ətəz ˈkeɪtɵrəz", "ˈæmfɪθɪətəz ˈkeɪtərəz"},
    {"BracketsSlashesAndSpaces", "\u00A0[ˈbʌtn]  /x/ ", "ˈbʌtn x"},
    {"Empty", "", ""},
};

class Phonetic : public ::testing::TestWithParam<TextCase> {};

TEST_P(Phonetic, BecomesIpa) {
    EXPECT_EQ(normalisePhonetic(GetParam().given), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Phonetic, ::testing::ValuesIn(kPhonetics), caseName);

TEST(Exchange, SplitsKindAndWordAndSkipsEmptyPairs) {
    const auto pairs = parseExchange("p:went/d:gone/i:/0:go/1:pd/3:goes");
    ASSERT_EQ(pairs.size(), 5U);
    EXPECT_EQ(pairs[0].kind, 'p');
    EXPECT_EQ(pairs[0].value, "went");
    EXPECT_EQ(pairs[2].kind, '0');
    EXPECT_EQ(pairs[3].value, "pd");
    EXPECT_EQ(pairs[4].value, "goes");
    EXPECT_TRUE(parseExchange("").empty());
}

TEST(Exchange, NamesTheFormsInChineseAndNothingElse) {
    EXPECT_EQ(inflectionName('s'), "复数");
    EXPECT_EQ(inflectionName('p'), "过去式");
    EXPECT_EQ(inflectionName('d'), "过去分词");
    EXPECT_EQ(inflectionName('i'), "现在分词");
    EXPECT_EQ(inflectionName('3'), "第三人称单数");
    EXPECT_EQ(inflectionName('r'), "比较级");
    EXPECT_EQ(inflectionName('t'), "最高级");
    for (const char notAForm : {'0', '1', 'f', 'b', 'z'}) {
        EXPECT_TRUE(inflectionName(notAForm).empty()) << notAForm;
    }
}

}  // namespace
}  // namespace moshitong::builder
