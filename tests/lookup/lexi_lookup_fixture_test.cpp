// lexi-lookup on a store made by the real builder from the fixture excerpts: for each lookup kind
// and both languages, what it prints must be exactly the rows the store holds for the query, in
// the store's order, laid out as the box lays them out. The rows are read here with plain SQL on
// a connection of the test's own, so the tool's path through the handlers and the store layer is
// checked against the file itself.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/text.h"
#include "tests/common/temp_store.h"
#include "tests/lookup/run_program.h"
#include "tests/support/fixture_store.h"

namespace moshitong {
namespace {

using testing::Outcome;
using testing::TempDir;

struct Row {
    std::optional<std::string> word;
    std::optional<std::string> explanation;
};

std::optional<std::string> columnText(sqlite3_stmt* statement, int column) {
    if (sqlite3_column_type(statement, column) == SQLITE_NULL) {
        return std::nullopt;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

// The first 101 rows of `table` whose `column` matches, as the classic statements select them:
// exact comparison ignores ASCII case; a substring search uses SQLite's own LIKE, which does too.
std::vector<Row> rowsFor(const std::filesystem::path& store, const std::string& table,
                         const std::string& column, bool substring, const std::string& text) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + store.string());
    }
    const std::string sql = "SELECT 单词, 解释 FROM " + table + " WHERE " + column +
                            (substring ? " LIKE '%' || ?1 || '%'" : " = ?1 COLLATE NOCASE") +
                            " ORDER BY rowid LIMIT 101";
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    sqlite3_bind_text(statement, 1, text.c_str(), static_cast<int>(text.size()), SQLITE_STATIC);
    std::vector<Row> rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        rows.push_back(Row{columnText(statement, 0), columnText(statement, 1)});
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

std::string boxText(const std::vector<Row>& rows) {
    std::string out;
    for (const Row& row : rows) {
        out += "\r\n" + row.word.value_or("") + "\r\n\r\n" + row.explanation.value_or("") +
               "\r\n\r\n" + std::string(32, '-');
    }
    return out;
}

nlohmann::json entriesJson(const std::vector<Row>& rows) {
    nlohmann::json entries = nlohmann::json::array();
    for (const Row& row : rows) {
        entries.push_back(
            {{"word", row.word ? nlohmann::json(*row.word) : nullptr},
             {"explanation", row.explanation ? nlohmann::json(*row.explanation) : nullptr}});
    }
    return entries;
}

std::string withLineFeeds(const std::string& text) {
    return toUtf8(removeAll(fromUtf8(text), u'\r'));
}

struct FixtureCase {
    const char* name;
    std::vector<std::string> options;
    std::string query;
    std::string table;
    std::string column;
    bool substring;
    int direction;
    std::string apology;  // shown when nothing matches
    bool found;           // whether the fixtures hold a match, so each case tests what it names
};

void PrintTo(const FixtureCase& c, std::ostream* os) {
    *os << c.name;
}

class LexiLookupOnFixtures : public ::testing::TestWithParam<FixtureCase> {
protected:
    static void SetUpTestSuite() {
        dir = new TempDir;
        store = new std::filesystem::path(testing::buildFixtureStore(dir->path()));
    }
    static void TearDownTestSuite() {
        delete store;
        delete dir;
    }
    static inline TempDir* dir = nullptr;
    static inline std::filesystem::path* store = nullptr;
};

const std::string kEnglishApology = "对不起，没找到这个词儿！";
const std::string kChineseApology = "对不起，没找到这个词！";

TEST_P(LexiLookupOnFixtures, ListsExactlyTheStoreRowsForTheQuery) {
    const FixtureCase& c = GetParam();
    const std::vector<Row> rows = rowsFor(*store, c.table, c.column, c.substring, c.query);
    ASSERT_EQ(!rows.empty(), c.found);
    const std::string text = rows.empty() ? c.apology : boxText(rows);

    std::vector<std::string> args = {"--store", store->string()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(c.query);
    const Outcome plain = testing::runProgram(LEXI_LOOKUP_PROGRAM, args);
    EXPECT_EQ(plain.out, withLineFeeds(text) + "\n\n");
    EXPECT_EQ(plain.status, rows.empty() ? 1 : 0);
    EXPECT_EQ(plain.err, "");

    args.insert(args.begin(), "--json");
    const Outcome json = testing::runProgram(LEXI_LOOKUP_PROGRAM, args);
    const auto object = nlohmann::json::parse(json.out);
    EXPECT_EQ(object["query"], c.query);
    EXPECT_EQ(object["direction"], c.direction);
    EXPECT_EQ(object["text"], text);
    EXPECT_EQ(object["entries"], entriesJson(rows));
    EXPECT_EQ(object["found"], !rows.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, LexiLookupOnFixtures,
    ::testing::Values(
        FixtureCase{"ConciseEnglishExact",
                    {},
                    "Apple",
                    "简明英语单词",
                    "单词",
                    false,
                    2,
                    kEnglishApology,
                    true},
        FixtureCase{"ConciseEnglishSubstring",
                    {"--fuzzy"},
                    "app",
                    "简明英语单词",
                    "单词",
                    true,
                    2,
                    kEnglishApology,
                    true},
        FixtureCase{"ConciseEnglishNothing",
                    {},
                    "zzzq",
                    "简明英语单词",
                    "单词",
                    false,
                    2,
                    kEnglishApology,
                    false},
        FixtureCase{
            "ConciseChinese", {}, "苹果", "简明英语单词", "解释", true, 1, kChineseApology, true},
        FixtureCase{"ConciseChineseNothing",
                    {},
                    "龘龘",
                    "简明英语单词",
                    "解释",
                    true,
                    1,
                    kChineseApology,
                    false},
        FixtureCase{"ProfessionalEnglishExact",
                    {"--professional"},
                    "apple",
                    "英语单词",
                    "单词",
                    false,
                    2,
                    kEnglishApology,
                    true},
        FixtureCase{"ProfessionalEnglishSubstring",
                    {"--professional", "--fuzzy"},
                    "appl",
                    "英语单词",
                    "单词",
                    true,
                    2,
                    kEnglishApology,
                    true},
        FixtureCase{"ProfessionalChineseExact",
                    {"--professional"},
                    "中国",
                    "汉语单词",
                    "单词",
                    false,
                    1,
                    kEnglishApology,
                    true},
        FixtureCase{"ProfessionalChineseSubstring",
                    {"--professional", "--fuzzy"},
                    "苹果",
                    "汉语单词",
                    "单词",
                    true,
                    1,
                    kEnglishApology,
                    true},
        FixtureCase{"ProfessionalChineseNothing",
                    {"--professional"},
                    "龘龘",
                    "汉语单词",
                    "单词",
                    false,
                    1,
                    kEnglishApology,
                    false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace moshitong
