#include <gtest/gtest.h>

#include "tools/lexi-build/compose.h"

#include <tuple>

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
            {"自拍", "自拍", "zi4 pai1", {"to take a picture of oneself", "selfie"}, {}},
            {"可擴展標記語言",
             "可扩展标记语言",
             "ke3 kuo4 zhan3 biao1 ji4 yu3 yan2",
             {"extensible markup language (XML)"},
             {}},
            {"無線網絡", "无线网络", "wu2 xian4 wang3 luo4", {"wireless network; Wi-Fi"}, {}},
            {"谷歌", "谷歌", "Gu3 ge1", {"Google, Internet company and search engine"}, {}},
            {"便攜式文檔格式",
             "便携式文档格式",
             "bian4 xie2 shi4 wen2 dang4 ge2 shi4",
             {"portable document format (PDF)"},
             {}},
            {"日本航空", "日本航空", "Ri4 ben3 Hang2 kong1", {"Japan Airlines (JAL)"}, {}},
            {"肯德基", "肯德基", "Ken3 de2 ji1", {"KFC"}, {}},
            {"山雀", "山雀", "shan1 que4", {"tit"}, {}},
            {"斑馬", "斑马", "ban1 ma3", {"zebra"}, {}},
            {"電站", "电站", "dian4 zhan4", {"power station"}, {}},
            {"驗證碼", "验证码", "yan4 zheng4 ma3", {"CAPTCHA (computing)"}, {}},
            {"U盤", "U盘", "U pan2", {"(computing) USB flash drive; USB"}, {}},
        },
        {}};
    CurrentUsage usage{cedict};
};

TEST_F(ModernWords, AreThoseBothSourcesExplainAlike) {
    const std::vector<std::tuple<std::string, std::string, bool>> cases = {
        // ECDICT files it under computing; CC-CEDICT glosses it with spaces.
        {"login", "[计] 注册(程序), 登记", true},
        // The translations agree, computing or not.
        {"selfie", "n. 自拍照", true},
        {"zebra", "n. 斑马", true},
        {"captcha", "n. 验证码", true},
        // ECDICT's run-together spelling of a gloss of two words.
        {"powerstation", "n. 电站", false},
        // An acronym after its gloss, with one character of the Chinese word differing.
        {"xml", "abbr. 可扩展标示语言（Extensive Makeup Language）", true},
        // A capitalised gloss counts for a word ECDICT calls an abbreviation.
        {"wifi", "abbr. 无线局域网；无线网络模块", true},
        // A name in CC-CEDICT, whatever ECDICT says.
        {"google", "n. 谷歌", false},
        {"jal", "abbr. 日本航空", false},
        // ECDICT means another thing by the abbreviation.
        {"pdf", "abbr. 概率分部函数（Probability Distribution Function）", false},
        // An acronym CC-CEDICT knows, but in a sense ECDICT does not give.
        {"usb", "[计] 通用串行总线", false},
        // A brand, and adult vocabulary.
        {"kfc", "abbr. 肯德基（快餐连锁店品牌）", false},
        {"tits", "n. 山雀；奶头", false},
        // Not glossed, or not a plain word.
        {"AACON", "[计] 机构记帐控制系统", false},
        {"log in", "[计] 登录", false},
        {"Zebra", "n. 斑马", false},
        {"USBUSB", "[计] 通用串行总线", false},
    };
    for (const auto& [word, translation, modern] : cases) {
        EXPECT_EQ(usage.isModernWord(entry(word, translation)), modern) << word;
    }
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

TEST(ConciseRows, AddRowsThatAreFormsOfTheSelectedWords) {
    EcdictEntry be = entry("be", "v. 是", 2, 2);
    EcdictEntry were = entry("were", "be的过去式");  // be's exchange field does not name it
    were.exchange = "1:p/0:be";
    EcdictEntry become = entry("become", "v. 变成", 300, 200);  // its own lemma
    become.exchange = "0:become/1:d/p:became/d:become/i:becoming/3:becomes";
    EcdictEntry became = entry("became", "become的过去式");
    became.exchange = "0:become/1:p";
    EcdictEntry becomes = entry("becomes", "v. 变成（become的第三人称单数）");
    becomes.exchange = "0:become/1:3";  // becoming has no row, so it stays out
    EcdictEntry meeting = entry("meeting", "n. 会议", 400, 300);  // a noun of its own
    meeting.exchange = "0:meet/1:i/s:meetings";
    EcdictEntry meetings = entry("meetings", "");
    meetings.exchange = "0:meeting/1:s";
    EcdictEntry thousand = entry("thousand", "num. 千", 500, 600);
    EcdictEntry thousands = entry("thousands", "n. 数千（thousand的复数）");
    EcdictEntry climb = entry("climb", "v. 爬", 900, 900);
    EcdictEntry lomb = entry("lomb", "climb 的过去式及过去分词的古体");  // not its spelling
    EcdictEntry children = entry("children", "n. 孩子们", 800, 0);
    children.exchange = "0:child/1:s";
    EcdictEntry childrens = entry("childrens", "n. 孩子们（children的复数）");
    childrens.exchange = "0:children/1:s";
    EcdictEntry write = entry("write", "v. 写", 250, 250);
    write.exchange = "p:wrote";
    EcdictEntry writed = entry("writed", "write的过去式");  // write's own row says wrote
    writed.exchange = "0:write/1:p";
    EcdictEntry learn = entry("learn", "v. 学习", 350, 350);
    learn.exchange = "p:learned";
    EcdictEntry learnt = entry("learnt", "learn的过去式和过去分词");  // a variant, not a slip
    learnt.exchange = "0:learn/1:pd";
    EcdictEntry coach = entry("coach", "n. 教练", 700, 700);
    coach.exchange = "s:coaches";
    EcdictEntry coachs = entry("coachs", "n. 教练");
    coachs.exchange = "0:coach/1:3";
    EcdictEntry logo = entry("logo", "n. 徽标", 6000, 0);
    EcdictEntry capitalised = entry("Logos", "n. 理念, 圣子");  // ECDICT's name, not logo's
    capitalised.exchange = "0:logo/1:s";
    const std::vector<Row> rows =
        conciseRows({be,       were,      become, became, becomes,  meeting,   meetings,
                     thousand, thousands, climb,  lomb,   children, childrens, write,
                     writed,   learn,     learnt, coach,  coachs,   logo,      capitalised},
                    Cedict{});
    EXPECT_EQ(words(rows), (std::vector<std::string>{
                               "be", "become", "write", "meeting", "learn", "thousand", "coach",
                               "children", "climb", "logo", "were", "wrote", "became", "learnt",
                               "becomes", "coaches", "learned", "meetings", "thousands"}));
    EXPECT_EQ(find(rows, "were")->explanation, "be的过去式");
    EXPECT_EQ(find(rows, "meetings")->explanation, "meeting 的复数");
    EXPECT_EQ(find(rows, "thousands")->explanation, "n. 数千（thousand的复数）");
}

TEST(ConciseRows, AddRowsSpelledAsRegularFormsWhateverTheirExchangeFieldSays) {
    // Each case: the lemma's row, then the candidate's row and whether it joins.
    struct Case {
        EcdictEntry lemma;
        EcdictEntry form;
        bool joins;
    };
    const auto with = [](EcdictEntry e, std::string exchange) {
        e.exchange = std::move(exchange);
        return e;
    };
    const std::vector<Case> cases = {
        // No exchange field and a translation that names nothing.
        {entry("hundred", "num. 百", 413, 621), entry("hundreds", "n. 数百"), true},
        {entry("weird", "a. 怪异的", 5398, 3632), with(entry("weirdest", "怪异的"), "0:weirde/1:t"),
         true},
        {entry("stop", "vt. 停止", 300, 300), entry("stopped", "a. 停止的"), true},
        {entry("city", "n. 城市", 400, 400), entry("cities", "n. 城市"), true},
        // A past that is a noun of its own has a plural; one that is not, none.
        {with(entry("shot", "n. 射击\nshoot的过去式和过去分词", 1836, 1053), "0:shoot/1:dp"),
         with(entry("shots", "n. 射击（shot的复数）"), "0:shot/1:s"), true},
        {with(entry("gone", "a. 离去的\ngo的过去分词", 900, 0), "0:go/1:d"),
         with(entry("gones", "(gone 的复数) a. 离去的"), "0:gone/1:s"), false},
        // Unless the plural's own row gives the noun.
        {with(entry("drunk", "a. 喝醉了的\ndrink的过去式", 4187, 3701), "0:drink/1:dp"),
         with(entry("drunks", "n. 醉汉( drunk的复数形式 )"), "0:drunk/1:s"), true},
        // Spell's spelt has an -ed twin; write's wrote has none, nor child's children.
        {with(entry("spell", "vt. 拼写", 3382, 4299), "p:spelt/d:spelt"),
         with(entry("spelled", "spell的过去式和过去分词"), "0:spell/1:dp"), true},
        {with(entry("write", "v. 写", 250, 250), "p:wrote"), entry("writed", "v. 写"), false},
        {with(entry("child", "n. 孩子", 300, 300), "s:children"),
         entry("childs", "n. 蔡尔兹（人名）", 35382), false},
        {entry("belly", "n. 腹部", 5000, 5000), entry("bellys", "n. 腹部"), false},
        {with(entry("babysit", "vi. 照看婴孩", 22656), "i:babysitting"),
         entry("babysiting", "v. 临时替人看婴儿"), false},
        // The plural of a name, and a prefix's forms.
        {entry("allen", "n. 艾伦（男子名）", 3889), entry("allens", "n. (Allens)人名"), false},
        {entry("fred", "n. 佛瑞德（男子名）", 3429), entry("freds", "n. 弗雷德"), false},
        {with(entry("macro", "pref. 宏\na. 巨大的", 22288), "s:macros"),
         with(entry("macros", "n. 宏命令（macro复数形式）"), "0:macro/1:s"), true},
        // An abbreviation's row is taken for a plural, never for a comparative.
        {entry("ne", "a. 原姓...的", 18193), entry("ner", "abbr. 命名实体辨识"), false},
        // Slidding is not slid with the old participle's -en, whatever its row says.
        {with(entry("slide", "v. 滑", 3000), "p:slid/d:slid"),
         entry("slidding", "v. 滑（slide的过去分词）"), false},
        {with(entry("lith", "pref. 石；结石", 9000), "t:lithest"),
         with(entry("lithest", "(lith 的最高级) pref. 石"), "0:lith/1:t"), false},
        // An agent noun is no comparative of a verb.
        {entry("stink", "vi. 发臭", 9000, 9000), entry("stinker", "n. 臭鬼"), false},
        // Vulgar and adult rows stay out, whatever they are spelled as.
        {entry("tit", "n. 山雀", 9000, 9000), entry("tits", "n. <粗>奶子"), false},
        // A form that reads as an abbreviation is shown as the form.
        {entry("dvd", "abbr. 数字化视频光盘", 9000, 9000),
         entry("dvds", "abbr. digital video display system"), true},
    };
    for (const Case& c : cases) {
        const std::vector<Row> rows = conciseRows({c.lemma, c.form}, Cedict{});
        EXPECT_EQ(find(rows, c.form.word) != nullptr, c.joins) << c.form.word;
    }
    const std::vector<Row> dvds = conciseRows({cases.back().lemma, cases.back().form}, Cedict{});
    EXPECT_EQ(find(dvds, "dvds")->explanation, "dvd 的复数");
    const std::vector<Row> gotten = conciseRows(
        {with(entry("get", "vt. 得到", 41, 39), "p:got/d:got"), entry("gotten", "get的过去分词")},
        Cedict{});
    EXPECT_EQ(find(gotten, "gotten")->explanation, "get的过去分词");
}

TEST(ConciseRows, AddInformalWordsButNotVulgarOnesNamesOrAbbreviations) {
    const std::vector<EcdictEntry> common = {
        entry("going", "n. 去", 100, 100),       entry("to", "prep. 到", 5, 5),
        entry("out", "adv. 出", 50, 50),         entry("of", "prep. 的", 4, 4),
        entry("let", "vt. 让", 200, 200),        entry("me", "pron. 我", 30, 30),
        entry("wound", "n. 伤", 900, 900),       entry("exit", "n. 出口", 900, 900),
        entry("late", "a. 晚的", 300, 300),      entry("membrane", "n. 膜", 9000, 9000),
        entry("antigen", "n. 抗原", 9000, 9000),
    };
    const std::vector<std::pair<EcdictEntry, bool>> cases = {
        {entry("gonna", "abbr. （美）将要（等于going to）"), true},
        {entry("outta", "prep. “out of”的简写体"), true},
        {entry("lemme", "<口>=let me"), true},
        {entry("dunno", "v. <口>(我)不知道"), true},
        {entry("yeah", "adv. (非正式)是, 是的"), true},
        {entry("snuck", "<方>sneak的过去式和过去分词", 46500), true},
        // Slang no corpus ranks is too rare for the concise table.
        {entry("fooper", "n. <美学俚>同性恋者"), false},
        {entry("journo", "n. <澳俚>报人,记者"), false},
        // An abbreviation's expansion is no contraction.
        {entry("wox", "[医][=wound of exit]出口（创）伤"), false},
        {entry("cocr", " [计]= Cylinder Overflow Control Record"), false},
        {entry("lma", "[医][=late membrane antigen]晚期膜抗原"), false},
        // Vulgar, names and brands.
        {entry("motherfucking", "a. <美俚><粗>不要脸的,混帐的", 0, 37987), false},
        {entry("shithead", "n. <口>笨蛋, 骂人的话"), false},
        {entry("bein", "n. <口>拜因（姓氏）"), false},
        {entry("kleenex", "n. <口>舒洁（面巾纸品牌）"), false},
        // A word ECDICT does not label stays as rare as its ranks say.
        {entry("sorta", "adv. 有几分地", 48960), false},
    };
    for (const auto& [word, joins] : cases) {
        std::vector<EcdictEntry> entries = common;
        entries.push_back(word);
        EXPECT_EQ(find(conciseRows(entries, Cedict{}), word.word) != nullptr, joins) << word.word;
    }
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
