#include <gtest/gtest.h>

#include "tests/support/named_case.h"
#include "tools/lexi-build/cedict.h"
#include "tools/lexi-build/ecdict.h"
#include "tools/lexi-build/input_error.h"
#include "tools/lexi-build/jieba.h"

namespace moshitong::builder {
namespace {

using testing::caseName;

constexpr std::string_view kHeader =
    "word,phonetic,definition,translation,pos,collins,oxford,tag,bnc,frq,exchange,detail,audio\r\n";

// The message of the InputError that `parse` throws, or a note that it threw none.
template <typename Parse>
std::string inputError(Parse parse) {
    try {
        parse();
    } catch (const InputError& error) {
        return error.what();
    }
    return "<no error>";
}

TEST(Ecdict, ReadsARowByItsHeaderNames) {
    const std::string text = std::string(kHeader) +
                             "apple,'æpl,n. fruit,\"n. 苹果, 家伙\\n[医] 苹果\",,3,1,zk gk,2446,"
                             "2695,s:apples,,\r\n";
    const auto entries = parseEcdict(text, "ecdict.csv");
    ASSERT_EQ(entries.size(), 1U);
    const EcdictEntry& apple = entries.front();
    EXPECT_EQ(apple.word, "apple");
    EXPECT_EQ(apple.phonetic, "'æpl");
    EXPECT_EQ(apple.definition, "n. fruit");
    EXPECT_EQ(apple.translation, "n. 苹果, 家伙\\n[医] 苹果");
    EXPECT_EQ(apple.collins, 3);
    EXPECT_TRUE(apple.oxford);
    EXPECT_EQ(apple.tag, "zk gk");
    EXPECT_EQ(apple.bnc, 2446);
    EXPECT_EQ(apple.frq, 2695);
    EXPECT_EQ(apple.exchange, "s:apples");
    EXPECT_EQ(apple.line, 2U);
    EXPECT_EQ(apple.bestRank(), 2446);
}

TEST(Ecdict, ColumnsMayComeInAnyOrderAfterAByteOrderMark) {
    const std::string text =
        "\xEF\xBB\xBF"
        "frq,bnc,exchange,tag,oxford,collins,translation,definition,phonetic,word\n"
        "0,7,,,,,译,def,ph,w\n";
    const auto entries = parseEcdict(text, "mine.csv");
    ASSERT_EQ(entries.size(), 1U);
    EXPECT_EQ(entries[0].word, "w");
    EXPECT_EQ(entries[0].translation, "译");
    EXPECT_EQ(entries[0].bnc, 7);
    EXPECT_EQ(entries[0].bestRank(), 7);
}

TEST(Ecdict, BestRankIgnoresUnknownRanks) {
    EcdictEntry entry;
    EXPECT_EQ(entry.bestRank(), 0);
    entry.frq = 300;
    EXPECT_EQ(entry.bestRank(), 300);
    entry.bnc = 200;
    EXPECT_EQ(entry.bestRank(), 200);
}

// A source's text and the message it is refused with.
using BadSource = testing::NamedCase<std::string>;

const BadSource kBadEcdicts[] = {
    {"Empty", "", "ecdict.csv: the file is empty"},
    {"MissingColumn", "word,phonetic,definition,translation\n",
     "ecdict.csv: line 1: the header has no column \"collins\""},
    {"TooFewFields", std::string(kHeader) + "a,,,甲,,,,,0,0,,,\r\nb,,,乙,,,,,0\r\n",
     "ecdict.csv: line 3: expected 13 fields, found 9"},
    {"NotANumber", std::string(kHeader) + "a,,,甲,,,,,0,0,,,\r\nb,,,乙,,x3,,,0,0,,,\r\n",
     "ecdict.csv: line 3: column collins holds \"x3\", not a whole number"},
    {"UnclosedQuote", std::string(kHeader) + "a,,,\"甲,,,,,0,0,,,\r\n",
     "ecdict.csv: line 2: malformed CSV: a quoted field is not closed"},
};

class BadEcdict : public ::testing::TestWithParam<BadSource> {};

TEST_P(BadEcdict, NamesTheFileAndTheLine) {
    const auto& param = GetParam();
    EXPECT_EQ(inputError([&] { parseEcdict(param.given, "ecdict.csv"); }), param.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadEcdict, ::testing::ValuesIn(kBadEcdicts), caseName);

TEST(Cedict, ReadsTheModuleWithSensesAndClassifiers) {
    const Cedict cedict = parseCedict(
        "export default {\"all\":[[\"蘋果\",\"苹果\",\"ping2 guo3\",\"apple\",[],[0]],"
        "[\"了\",\"了\",\"le5\",[\"(completed action marker)\",\"(modal particle)\"],[],[]]],"
        "\"variantLookup\":[],\"classifierLookup\":[[\"個\",\"个\",\"ge4\"]]};\n",
        "all.js");
    ASSERT_EQ(cedict.entries.size(), 2U);
    EXPECT_EQ(cedict.entries[0].traditional, "蘋果");
    EXPECT_EQ(cedict.entries[0].simplified, "苹果");
    EXPECT_EQ(cedict.entries[0].pinyin, "ping2 guo3");
    EXPECT_EQ(cedict.entries[0].senses, std::vector<std::string>{"apple"});
    EXPECT_EQ(cedict.entries[0].classifiers, std::vector<std::size_t>{0});
    EXPECT_EQ(cedict.entries[1].senses.size(), 2U);
    ASSERT_EQ(cedict.classifiers.size(), 1U);
    EXPECT_EQ(cedict.classifiers[0].simplified, "个");
}

TEST(Cedict, BareJsonAndShortEntriesAreFine) {
    const Cedict cedict = parseCedict(R"({"all":[["中","中","zhong1","middle"]]})", "all.json");
    ASSERT_EQ(cedict.entries.size(), 1U);
    EXPECT_TRUE(cedict.entries[0].classifiers.empty());
}

const BadSource kBadCedicts[] = {
    {"Truncated", "export default {\"all\":[[\"中\",\"中\",\"zhong1\",\"mid",
     "all.js: line 1, column 50: not valid JSON: syntax error while parsing value - "
     "invalid string: missing closing quote"},
    {"TruncatedOnALaterLine", "export default {\"all\":[\n[\"中\",\"中\"\n",
     "all.js: line 2, column 13: not valid JSON: syntax error while parsing array"},
    {"NumberTooLarge", R"({"all":[1e999999]})",
     "all.js: not valid JSON: number overflow parsing '1e999999'"},
    {"NotAnObject", "export default [1,2]",
     "all.js: the JSON must be an object with the list \"all\""},
    {"NoAll", "{\"entries\":[]}", "all.js: the object has no list \"all\""},
    {"AllNotAList", "{\"all\":{}}", "all.js: \"all\": must be a list"},
    {"EntryNotAList", R"({"all":[["中","中","zhong1","middle"],"中"]})",
     "all.js: \"all\"[1]: must be a list of traditional, simplified, pinyin and senses"},
    {"SenseOfWrongType", R"({"all":[["中","中","zhong1",7]]})",
     "all.js: \"all\"[0]: item 3 (the senses) must be a string or a list of strings"},
    {"PinyinNotText", R"({"all":[["中","中",1,"x"]]})",
     "all.js: \"all\"[0]: item 2 (the pinyin) must be a string"},
    {"EmptyHeadword", R"({"all":[["","中","zhong1","x"]]})",
     "all.js: \"all\"[0]: has an empty headword"},
    {"ClassifierOutOfRange",
     R"({"all":[["中","中","zhong1","x",[],[3]]],"classifierLookup":[["個","个","ge4"]]})",
     "all.js: \"all\"[0]: item 5 (the classifiers) holds 3, which is not an index below 1"},
    {"BadLookupItem", R"({"all":[],"variantLookup":[["x"]]})",
     "all.js: \"variantLookup\"[0]: must be a list of traditional, simplified and pinyin"},
};

class BadCedict : public ::testing::TestWithParam<BadSource> {};

// JSON syntax errors end with the parser's own wording, so only the part up to it is fixed here.
TEST_P(BadCedict, NamesTheFileAndTheEntry) {
    const auto& param = GetParam();
    const std::string message = inputError([&] { parseCedict(param.given, "all.js"); });
    EXPECT_TRUE(message.starts_with(param.expected)) << message;
}

INSTANTIATE_TEST_SUITE_P(Cases, BadCedict, ::testing::ValuesIn(kBadCedicts), caseName);

TEST(Jieba, ReadsCountsAndKeepsTheLargerOfTwo) {
    const WordCounts counts = parseJieba(
        "中国 129470 ns\r\n\n苹果 1334 n\n苹果 99 n\nAT&T 3 nz\n只有词频 12\n", "dict.txt");
    EXPECT_EQ(counts.size(), 4U);
    EXPECT_EQ(counts.at("中国"), 129470);
    EXPECT_EQ(counts.at("苹果"), 1334);
    EXPECT_EQ(counts.at("AT&T"), 3);
    EXPECT_EQ(counts.at("只有词频"), 12);
}

TEST(Jieba, ALineWithoutACountNamesTheLine) {
    EXPECT_EQ(inputError([] { parseJieba("中国 129470 ns\n苹果 n\n", "dict.txt"); }),
              "dict.txt: line 2: expected a word and its count, found \"苹果 n\"");
    EXPECT_EQ(inputError([] { parseJieba("中国\n", "dict.txt"); }),
              "dict.txt: line 1: expected a word and its count, found \"中国\"");
}

TEST(SourceFiles, AMissingFileIsNamed) {
    EXPECT_EQ(inputError([] { readEcdict("/nonexistent/ecdict.csv"); }),
              "/nonexistent/ecdict.csv: no such file");
    EXPECT_EQ(inputError([] { readJieba("/"); }), "/: not a regular file");
}

}  // namespace
}  // namespace moshitong::builder
