#include <gtest/gtest.h>

#include "tools/lexi-build/compose.h"

namespace moshitong::builder {
namespace {

EcdictEntry entry(std::string word, std::string translation, long bnc = 0, long frq = 0) {
    EcdictEntry e;
    e.word = std::move(word);
    e.translation = std::move(translation);
    e.bnc = bnc;
    e.frq = frq;
    return e;
}

std::vector<std::string> words(const std::vector<Row>& rows) {
    std::vector<std::string> out;
    for (const Row& row : rows) {
        out.push_back(row.word);
    }
    return out;
}

const Row* find(const std::vector<Row>& rows, std::string_view word) {
    for (const Row& row : rows) {
        if (row.word == word) {
            return &row;
        }
    }
    return nullptr;
}

TEST(EnglishExplanation, ListsEveryItemOnItsOwnLine) {
    EcdictEntry go = entry("go", R"(vi. 去, 走\n[计] 转移)", 44, 35);
    go.phonetic = "gәu";
    go.definition = R"(v. change location; move, travel, or proceed\nn. a time for working)";
    go.collins = 5;
    go.oxford = true;
    go.tag = "zk gk cet4 bogus";
    go.exchange = "d:gone/p:went/i:going/3:goes/s:goes";
    EXPECT_EQ(englishExplanation(go),
              "/ɡəu/\r\n"
              "vi. 去, 走\r\n"
              "[计] 转移\r\n"
              "v. change location; move, travel, or proceed\r\n"
              "n. a time for working\r\n"
              "柯林斯 ★★★★★；牛津 3000 核心词；中考、高考、四级\r\n"
              "复数 goes；过去式 went；过去分词 gone；现在分词 going；第三人称单数 goes");
}

TEST(EnglishExplanation, SaysWhatAFormIsAFormOfUnlessTheTranslationDoes) {
    EcdictEntry apps = entry("apps", "n. 应用程序, 应用软件");
    apps.exchange = "0:app/1:3s";
    EXPECT_EQ(englishExplanation(apps), "n. 应用程序, 应用软件\r\napp 的复数；app 的第三人称单数");
    EcdictEntry went = entry("went", "go的过去式");
    went.exchange = "0:go/1:p";
    EXPECT_EQ(englishExplanation(went), "go的过去式");
}

TEST(EnglishRows, DropRowsWithoutTranslationAndGoByRankThenLengthThenAlphabet) {
    const std::vector<EcdictEntry> entries = {
        entry("zebra", "n. 斑马"),
        entry("apply", "v. 申请", 522, 938),
        entry("-ola", R"( \n )"),
        entry("appear", "v. 出现", 290, 395),
        entry("Apple", "n. 苹果公司"),
        entry("apple", "n. 苹果", 2446, 2695),
        entry("happen", "v. 发生", 275, 216),
        entry("ab", "n. 腹肌"),
        entry("apples", "n. 苹果（复数）", 0, 2446),
    };
    EXPECT_EQ(words(englishRows(entries)),
              (std::vector<std::string>{"happen", "appear", "apply", "apple", "apples", "ab",
                                        "Apple", "zebra"}));
}

TEST(CommonWords, AreOnAListOrFrequent) {
    EcdictEntry word = entry("w", "译");
    EXPECT_FALSE(isCommonWord(word));
    word.frq = 30000;
    EXPECT_TRUE(isCommonWord(word));
    word.frq = 30001;
    EXPECT_FALSE(isCommonWord(word));
    word.bnc = 12;
    EXPECT_TRUE(isCommonWord(word));
    for (const auto& [field, value] :
         std::vector<std::pair<std::string, int>>{{"collins", 1}, {"oxford", 1}, {"tag", 0}}) {
        EcdictEntry listed = entry("w", "译");
        listed.collins = field == "collins" ? value : 0;
        listed.oxford = field == "oxford";
        listed.tag = field == "tag" ? "toefl" : "";
        EXPECT_TRUE(isCommonWord(listed)) << field;
    }
    EcdictEntry unknownTag = entry("w", "译");
    unknownTag.tag = "bogus";
    EXPECT_FALSE(isCommonWord(unknownTag));
}

class ModernWords : public ::testing::Test {
protected:
    Cedict cedict{
        {
            {"登錄", "登录", "deng1 lu4", {"to register", "to log in"}, {}},
            {"谷歌", "谷歌", "Gu3 ge1", {"Google, Internet company and search engine"}, {}},
            {"U盤", "U盘", "U pan2", {"(computing) USB flash drive; USB"}, {}},
            {"斑馬", "斑马", "ban1 ma3", {"zebra"}, {}},
            {"土豚", "土豚", "tu3 tun2", {"aardvark"}, {}},
        },
        {}};
    CurrentUsage usage{cedict};
};

TEST_F(ModernWords, NeedBothSourcesAndAPlainHeadword) {
    EcdictEntry login = entry("login", "[计] 注册(程序), 登记");  // ECDICT files it as computing
    EXPECT_TRUE(usage.isModernWord(login));
    EcdictEntry usb = entry("usb", "abbr. 通用串行总线");  // CC-CEDICT's sense is about computing
    EXPECT_TRUE(usage.isModernWord(usb));
    EcdictEntry google = entry("google", "谷歌");
    google.definition = "n. a widely used search engine on the internet";
    EXPECT_TRUE(usage.isModernWord(google));

    EXPECT_FALSE(usage.isModernWord(entry("aardvark", "n. 土豚")));  // glossed, not computing
    EXPECT_FALSE(usage.isModernWord(entry("AACON", "[计] 机构记帐控制系统")));  // not glossed
    EcdictEntry phrase = entry("log in", "[计] 登录");
    EXPECT_FALSE(usage.isModernWord(phrase));  // not a plain headword
    EXPECT_FALSE(usage.isModernWord(entry("USBUSB", "[计] x")));
}

TEST(GlossKey, IgnoresCaseSpacesAndHyphens) {
    EXPECT_EQ(glossKey("Wi-Fi"), "wifi");
    EXPECT_EQ(glossKey("home page"), "homepage");
    EXPECT_EQ(glossKey("HTML"), "html");
}

TEST(ConciseRows, AddTheFormsOfTheSelectedWords) {
    EcdictEntry be = entry("be", "v. 是", 2, 2);
    be.exchange = "p:was/d:been/3:is";
    EcdictEntry aim = entry("aim", "n. 目标", 1261, 1300);
    aim.exchange = "s:aims/3:aims/p:aimed";
    EcdictEntry was = entry("was", "be的过去式", 41040, 0);       // a row of its own, not common
    EcdictEntry is = entry("is", "v. 是（be的三单形式）", 5, 8);  // common already
    EcdictEntry rare = entry("zymurgy", "n. 酿造学");
    rare.exchange = "s:zymurgies";
    EcdictEntry children = entry("children", "pl. 孩子们", 900, 0);  // a form itself
    children.exchange = "0:child/1:s/s:childrens";
    const std::vector<Row> rows = conciseRows({be, aim, was, is, rare, children}, Cedict{});
    EXPECT_EQ(words(rows), (std::vector<std::string>{"be", "is", "children", "aim", "was", "aims",
                                                     "been", "aimed"}));
    EXPECT_EQ(find(rows, "was")->explanation, "be的过去式");
    EXPECT_EQ(find(rows, "been")->explanation, "be 的过去分词");
    EXPECT_EQ(find(rows, "aims")->explanation, "aim 的复数\r\naim 的第三人称单数");
    EXPECT_EQ(find(rows, "is")->explanation, "v. 是（be的三单形式）");
    EXPECT_EQ(find(rows, "zymurgies"), nullptr);
    EXPECT_EQ(find(rows, "childrens"), nullptr);
}

class ChineseRows : public ::testing::Test {
protected:
    Cedict cedict{{
                      {"蘋果", "苹果", "Ping2 guo3", {"Apple (American tech company)"}, {}},
                      {"蘋果", "苹果", "ping2 guo3", {"apple"}, {0, 1}},
                      {"和", "和", "He2", {"surname He"}, {}},
                      {"咊", "和", "he2", {"old variant of 和[he2]"}, {}},
                      {"和", "和", "he2", {"and", "together with"}, {}},
                      {"女", "女", "nu:3", {"female", "woman"}, {}},
                      {"女兒", "女儿", "nu:3 er2", {"daughter"}, {}},
                      {"這個", "这个", "zhe4 ge5", {"this"}, {}},
                      {"著", "著", "zhu4", {"to write"}, {}},
                      {"著", "着", "zhe5", {"aspect particle"}, {}},
                  },
                  {{"個", "个", "ge4"}, {"顆", "颗", "ke1"}}};
    WordCounts counts{{"和", 500}, {"这个", 400}, {"苹果", 100}, {"女", 100}, {"著", 50}};
    std::vector<Row> rows = chineseRows(cedict, counts);
};

TEST_F(ChineseRows, GoByCountThenLengthWithTraditionalRowsLast) {
    // 咊 only says it is a variant of 和, so it does not borrow 和's count.
    EXPECT_EQ(words(rows), (std::vector<std::string>{"和", "这个", "女", "苹果", "著", "着", "女儿",
                                                     "這個", "蘋果", "著", "咊", "女兒"}));
}

TEST_F(ChineseRows, ListOneReadingALineWithToneMarksAndClassifiers) {
    EXPECT_EQ(rows[3].word, "苹果");
    EXPECT_EQ(rows[3].explanation,
              "蘋果 [píng guǒ] apple; 量词：个[gè]、颗[kē]\r\n"
              "蘋果 [Píng guǒ] Apple (American tech company)");
    EXPECT_EQ(rows[0].explanation,
              "[hé] and; together with\r\n[Hé] surname He\r\n咊 [hé] old variant of 和[hé]");
    EXPECT_EQ(rows[2].explanation, "[nǚ] female; woman");
    EXPECT_EQ(rows[1].explanation, "這個 [zhè ge] this");
}

TEST_F(ChineseRows, TraditionalRowsShowTheSimplifiedFormAndTraditionalClassifiers) {
    EXPECT_EQ(find(std::vector<Row>(rows.begin() + 7, rows.end()), "蘋果")->explanation,
              "苹果 [píng guǒ] apple; 量词：個[gè]、顆[kē]\r\n"
              "苹果 [Píng guǒ] Apple (American tech company)");
    // 著 is a simplified headword of its own and the traditional form of 着: both rows exist.
    EXPECT_EQ(rows[4].explanation, "[zhù] to write");
    EXPECT_EQ(rows[9].explanation, "着 [zhe] aspect particle");
}

}  // namespace
}  // namespace moshitong::builder
