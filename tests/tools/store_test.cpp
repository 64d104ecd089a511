// The store built by the real lexi-build from data/fixtures: what a listing will show.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "core/store.h"
#include "core/text.h"
#include "tests/support/fixture_store.h"
#include "tests/support/temp_store.h"
#include "tools/lexi-build/cedict.h"
#include "tools/lexi-build/clean.h"
#include "tools/lexi-build/ecdict.h"
#include "tools/lexi-build/jieba.h"

namespace moshitong::builder {
namespace {

using moshitong::testing::TestStore;

struct StoredRow {
    std::string word;
    std::string explanation;
};

// Two columns of every row of a table in rowid order, read straight from the file.
std::vector<StoredRow> readTable(const std::filesystem::path& store, std::string_view table,
                                 std::string_view columns = "单词, 解释") {
    std::vector<StoredRow> rows;
    for (const auto& row : testing::selectRows(testing::openDatabase(store).get(),
                                               "SELECT " + std::string(columns) + " FROM " +
                                                   std::string(table) + " ORDER BY rowid")) {
        rows.push_back({row[0].value_or("<null>"), row[1].value_or("<null>")});
    }
    return rows;
}

class FixtureStore : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        store_.emplace(TestStore::fromFixtures());
        for (const char* table : {"简明英语单词", "英语单词", "汉语单词"}) {
            tables_[table] = readTable(store_->path(), table);
        }
        tables_["metadata"] = readTable(store_->path(), "metadata", "source, licence");
    }
    static void TearDownTestSuite() {
        tables_.clear();
        store_.reset();
    }

    static const std::vector<StoredRow>& table(const std::string& name) { return tables_[name]; }

    static std::vector<std::string> words(const std::string& name) {
        std::vector<std::string> out;
        for (const StoredRow& row : table(name)) {
            out.push_back(row.word);
        }
        return out;
    }

    // The explanation of the first row with this headword, or "<absent>".
    static std::string explanation(const std::string& name, std::string_view word) {
        for (const StoredRow& row : table(name)) {
            if (row.word == word) {
                return row.explanation;
            }
        }
        return "<absent>";
    }

    static bool has(const std::string& name, std::string_view word) {
        return explanation(name, word) != "<absent>";
    }

    static inline std::optional<TestStore> store_;
    static inline std::map<std::string, std::vector<StoredRow>> tables_;
};

TEST_F(FixtureStore, OpensAsTheProgramsDictionaryAndMatchesWithoutCase) {
    Connection Conn;
    OpenDictionary(Conn, store_->path());
    SqliteRecordset Rs;
    Rs.Open(Statement{Table::Concise, Column::Word, Match::Exact, u"APPLE"}, Conn);
    ASSERT_EQ(Rs.RecordCount(), 1);
    EXPECT_EQ(Rs.Field(u"单词"), u"apple");
    EXPECT_EQ(Rs.Field(u"解释"), u"n. 苹果, 家伙\r\n[医] 苹果");
    Rs.Close();
}

TEST_F(FixtureStore, RecordsEachSourceWithItsLicence) {
    const auto& metadata = table("metadata");
    ASSERT_EQ(metadata.size(), 3U);
    EXPECT_EQ(metadata[0].word, "ECDICT");
    EXPECT_EQ(metadata[1].word, "CC-CEDICT");
    EXPECT_EQ(metadata[2].word, "jieba dict.txt");
    const auto summary = testing::selectRows(
        testing::openDatabase(store_->path()).get(),
        "SELECT group_concat(licence, '|'), min(version), max(built) FROM metadata");
    EXPECT_EQ(summary, (std::vector<testing::TextRow>{{"MIT|CC BY-SA 4.0|MIT", "fixture",
                                                       std::string(testing::kFixtureBuildTime)}}));
}

TEST_F(FixtureStore, ExplanationsArePlainLinesJoinedByCrLf) {
    for (const char* name : {"简明英语单词", "英语单词", "汉语单词"}) {
        for (const StoredRow& row : table(name)) {
            SCOPED_TRACE(std::string(name) + " " + row.word);
            ASSERT_FALSE(row.explanation.empty());
            for (const std::string_view leftover :
                 {"\\n", "\\r", "<br", "&beta;", "&amp;", "\t", "  "}) {
                EXPECT_EQ(row.explanation.find(leftover), std::string::npos) << leftover;
            }
            std::string_view rest = row.explanation;
            for (std::size_t at = rest.find('\n'); at != std::string_view::npos;
                 at = rest.find('\n', at + 1)) {
                EXPECT_TRUE(at > 0 && rest[at - 1] == '\r') << "lone line feed";
            }
            EXPECT_EQ(row.explanation.find("\r\n\r\n"), std::string::npos) << "empty line";
            EXPECT_NE(row.explanation.front(), ' ');
            EXPECT_NE(row.explanation.back(), ' ');
        }
    }
}

TEST_F(FixtureStore, ProfessionalEnglishComposesEveryItem) {
    EXPECT_EQ(explanation("英语单词", "apple"),
              "/ˈæpl/\r\n"
              "n. 苹果, 家伙\r\n"
              "[医] 苹果\r\n"
              "n. fruit with red or yellow or green skin and sweet to tart crisp whitish flesh\r\n"
              "n. native Eurasian tree widely cultivated in many varieties for its firm rounded "
              "edible fruits\r\n"
              "柯林斯 ★★★；牛津 3000 核心词；中考、高考\r\n"
              "复数 apples");
    EXPECT_EQ(explanation("英语单词", "beta version"), "（计算机软件等新产品上市前的）β版, 测试版");
    EXPECT_EQ(explanation("英语单词", "c4"), "abbr. 补体4（ complement 4）");
    EXPECT_EQ(explanation("英语单词", "alacarte"), "/ɒləˈkɑːt/\r\na. 照菜单点\r\nadv. 照菜单点");
    EXPECT_TRUE(explanation("英语单词", "about-turn").starts_with("/əbajtˈtɜːn/\r\n"));
    EXPECT_TRUE(explanation("英语单词", "aerial").starts_with("/ˈɛəriəl/\r\n"));
    EXPECT_NE(explanation("英语单词", "the")
                  .find("\r\ndefinite article. A word placed before nouns to limit or "
                        "individualize their meaning.\r\n"),
              std::string::npos);
    EXPECT_EQ(explanation("英语单词", "apps"),
              "n. 应用程序, 应用软件；应用服务\r\napp 的复数；app 的第三人称单数");
    EXPECT_TRUE(
        explanation("英语单词", "go")
            .ends_with("\r\n过去式 went；过去分词 gone；现在分词 going；第三人称单数 goes"));
}

TEST_F(FixtureStore, ProfessionalEnglishHasEveryTranslatedRowByRankThenLengthThenAlphabet) {
    const std::vector<EcdictEntry> source = readEcdict(testing::fixturePath("ecdict.csv"));
    std::map<std::string, long> rank;
    for (const EcdictEntry& entry : source) {
        if (!cleanText(entry.translation).empty()) {
            rank[entry.word] = entry.bestRank();
        }
    }
    const std::vector<std::string> stored = words("英语单词");
    EXPECT_EQ(std::set<std::string>(stored.begin(), stored.end()).size(), rank.size());
    EXPECT_EQ(stored.size(), rank.size());
    EXPECT_FALSE(has("英语单词", "-ola"));  // its translation is empty
    const auto key = [&](const std::string& word) {
        const long r = rank.at(word);
        return std::make_tuple(r == 0, r, countCodePoints(word));
    };
    for (std::size_t i = 1; i < stored.size(); ++i) {
        EXPECT_LE(key(stored[i - 1]), key(stored[i])) << stored[i - 1] << " before " << stored[i];
    }
}

TEST_F(FixtureStore, ConciseHasCommonAndModernWordsButNotRareOnes) {
    for (const char* word : {"the", "be", "apple", "happen", "dictionary", "bald", "snowshoe"}) {
        EXPECT_TRUE(has("简明英语单词", word)) << word;
    }
    for (const char* word :
         {"login", "homepage", "HTML", "usb", "smartphone", "wifi", "touchscreen", "screenshot"}) {
        EXPECT_TRUE(has("简明英语单词", word)) << word;
    }
    // A search engine, a video site and an operating system: names, which CC-CEDICT capitalises.
    for (const char* word : {"google", "youtube", "linux"}) {
        EXPECT_FALSE(has("简明英语单词", word)) << word;
    }
    for (const char* word : {"AACON", "abbing", "zymurgy", "aardvark", "-ola"}) {
        EXPECT_FALSE(has("简明英语单词", word)) << word;
    }
    EXPECT_EQ(explanation("简明英语单词", "apple"), "n. 苹果, 家伙\r\n[医] 苹果");
    EXPECT_EQ(explanation("简明英语单词", "login"), "[计] 注册(程序), 登记, 用户注册程序");
}

TEST_F(FixtureStore, ConciseHasTheFormsOfItsWords) {
    EXPECT_EQ(explanation("简明英语单词", "was"), "be的过去式");
    EXPECT_EQ(explanation("简明英语单词", "been"), "be的过去分词");
    EXPECT_EQ(explanation("简明英语单词", "services"), "n. 服务；服务项目（service复数形式）");
    EXPECT_EQ(explanation("简明英语单词", "aims"), "aim 的复数\r\naim 的第三人称单数");
    EXPECT_EQ(explanation("简明英语单词", "aimed"), "aim 的过去式\r\naim 的过去分词");
    EXPECT_EQ(explanation("简明英语单词", "balder"), "bald 的比较级");
    EXPECT_EQ(explanation("简明英语单词", "logins"), "login 的复数");
    // be's exchange field does not name were; were's own row names be.
    EXPECT_EQ(explanation("简明英语单词", "were"), "be的过去式");
    // Forms named by words that are forms themselves are doubtful and stay out.
    EXPECT_FALSE(has("简明英语单词", "childrens"));
    EXPECT_FALSE(has("简明英语单词", "gones"));
}

TEST_F(FixtureStore, ConciseListsAFuzzyAppByFrequency) {
    std::vector<std::string> app;
    for (const std::string& word : words("简明英语单词")) {
        if (word.find("app") != std::string::npos) {
            app.push_back(word);
        }
    }
    ASSERT_GE(app.size(), 6U);
    EXPECT_EQ(std::vector<std::string>(app.begin(), app.begin() + 6),
              (std::vector<std::string>{"happen", "appear", "apply", "approach", "application",
                                        "happy"}));
}

TEST_F(FixtureStore, ChineseReadingsCarryToneMarksAndClassifiers) {
    EXPECT_EQ(explanation("汉语单词", "苹果"),
              "蘋果 [píng guǒ] apple; 量词：个[gè]、颗[kē]\r\n"
              "蘋果 [Píng guǒ] Apple (American tech company)");
    EXPECT_EQ(explanation("汉语单词", "女"),
              "[nǚ] female; woman; daughter\r\n[rǔ] old variant of 汝[rǔ]");
    EXPECT_TRUE(explanation("汉语单词", "略").starts_with("[lüè] brief; sketchy;"));
    EXPECT_EQ(explanation("汉语单词", "这个"), "這個 [zhè ge] (pronoun) this; (adjective) this");
    EXPECT_EQ(explanation("汉语单词", "谢谢"), "謝謝 [xiè xie] to thank; thanks; thank you");
    EXPECT_EQ(explanation("汉语单词", "一点儿"),
              "一點兒 [yī diǎn r] erhua variant of 一點|一点[yī diǎn]");
    EXPECT_EQ(explanation("汉语单词", "呣"),
              "[ḿ] interjection expressing a question\r\n[m̀] interjection expressing consent; um");
    EXPECT_EQ(explanation("汉语单词", "欧洲"),
              "歐洲 [Ōu zhōu] Europe (abbr. for 歐羅巴洲|欧罗巴洲[Ōu luó bā Zhōu])");
    EXPECT_EQ(explanation("汉语单词", "3C"),
              "[sān C] computers, communications, and consumer electronics; China Compulsory "
              "Certificate (CCC)");
}

TEST_F(FixtureStore, ChineseHasEverySimplifiedHeadwordThenEveryDifferingTraditionalOne) {
    const Cedict source = readCedict(testing::fixturePath("cedict.js"));
    std::set<std::string> simplified;
    std::set<std::string> traditional;
    for (const CedictEntry& entry : source.entries) {
        simplified.insert(entry.simplified);
        if (entry.traditional != entry.simplified) {
            traditional.insert(entry.traditional);
        }
    }
    const std::vector<std::string> stored = words("汉语单词");
    ASSERT_EQ(stored.size(), simplified.size() + traditional.size());
    const auto split = stored.begin() + static_cast<std::ptrdiff_t>(simplified.size());
    EXPECT_EQ(std::set<std::string>(stored.begin(), split), simplified);
    EXPECT_EQ(std::set<std::string>(split, stored.end()), traditional);
    EXPECT_EQ(explanation("汉语单词", "蘋果").substr(0, explanation("汉语单词", "蘋果").find('\r')),
              "苹果 [píng guǒ] apple; 量词：個[gè]、顆[kē]");
    EXPECT_EQ(explanation("汉语单词", "這個"), "这个 [zhè ge] (pronoun) this; (adjective) this");
}

TEST_F(FixtureStore, ChineseSimplifiedRowsGoByJiebaCountThenLength) {
    const WordCounts counts = readJieba(testing::fixturePath("jieba.txt"));
    const Cedict source = readCedict(testing::fixturePath("cedict.js"));
    std::set<std::string> simplified;
    for (const CedictEntry& entry : source.entries) {
        simplified.insert(entry.simplified);
    }
    const std::vector<std::string> stored = words("汉语单词");
    const auto key = [&](const std::string& word) {
        const auto found = counts.find(word);
        return std::make_pair(-(found == counts.end() ? 0 : found->second), countCodePoints(word));
    };
    for (std::size_t i = 1; i < simplified.size(); ++i) {
        EXPECT_LE(key(stored[i - 1]), key(stored[i])) << stored[i - 1] << " before " << stored[i];
    }
    EXPECT_EQ(stored.front(), "了");  // the most frequent headword of the excerpt
}

TEST(FixtureStoreBuild, IsTheSameFileEveryTime) {
    EXPECT_EQ(testing::readFile(TestStore::fromFixtures().path()),
              testing::readFile(TestStore::fromFixtures().path()));
}

}  // namespace
}  // namespace moshitong::builder
