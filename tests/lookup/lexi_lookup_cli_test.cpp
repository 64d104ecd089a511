// lexi-lookup, the built program, run as a user runs it: on a small store written for the test,
// on the store the real builder makes from the fixture excerpts, under hostile input, and on
// stores that are missing or broken.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "core/text.h"
#include "lookup/handlers.h"
#include "tests/support/broken_stores.h"
#include "tests/support/hostile_inputs.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_store.h"

namespace moshitong {
namespace {

using testing::ProcessResult;
using testing::TempDir;
using testing::TempRow;
using testing::TestStore;

const std::filesystem::path& lexiLookup() {
    static const std::filesystem::path program = testing::builtProgram("lexi-lookup");
    return program;
}

ProcessResult lookUp(const std::filesystem::path& store, std::vector<std::string> args,
                     const std::string& input = "") {
    args.insert(args.begin(), {"--store", store.string()});
    return testing::runProgram(lexiLookup(), args, input);
}

const std::string kEnglishApology = "对不起，没找到这个词儿！";
const std::string kChineseApology = "对不起，没找到这个词！";

// One entry as the box shows it.
std::string entry(const std::string& word, const std::string& explanation) {
    return "\r\n" + word + "\r\n\r\n" + explanation + "\r\n\r\n" + std::string(32, '-');
}

// The box's text as lexi-lookup prints it: CR LF written as LF, and a blank line after it.
std::string printed(const std::string& box) {
    return toUtf8(removeAll(fromUtf8(box), u'\r')) + "\n\n";
}

std::vector<nlohmann::json> jsonLines(const std::string& out) {
    std::vector<nlohmann::json> lines;
    for (std::size_t start = 0; start < out.size();) {
        const std::size_t end = out.find('\n', start);
        lines.push_back(nlohmann::json::parse(out.substr(start, end - start)));
        start = end == std::string::npos ? out.size() : end + 1;
    }
    return lines;
}

// ---- A small store written for the test ----

const TestStore& smallStore() {
    static const TestStore store({
        {Table::Concise, u"apple", u"n. 苹果"},
        {Table::Concise, u"pineapple", u"n. 菠萝；凤梨"},
        {Table::Concise, u"applet", std::nullopt},
        {Table::English, u"apple", u"苹果；苹果树"},
        {Table::English, u"apply", u"申请"},
        {Table::Chinese, u"中国", u"China"},
        {Table::Chinese, u"中国人", u"Chinese"},
        {Table::Chinese, u"苹果", u"apple"},
    });
    return store;
}

struct CliCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    std::vector<std::string> boxes;  // the box's text after each query
    int status;
};

void PrintTo(const CliCase& c, std::ostream* os) {
    *os << c.name;
}

class LexiLookupOutput : public ::testing::TestWithParam<CliCase> {};

// Plain, each box's text with line feeds; as JSON, one object per query carrying the box's text
// exactly, CR LF included.
TEST_P(LexiLookupOutput, PrintsWhatTheBoxWouldShow) {
    const CliCase& c = GetParam();
    const ProcessResult plain = lookUp(smallStore().path(), c.args, c.input);
    std::string expected;
    for (const std::string& box : c.boxes) {
        expected += printed(box);
    }
    EXPECT_EQ(plain.output, expected);
    EXPECT_EQ(plain.exitCode, c.status);
    EXPECT_EQ(plain.errors, "");

    std::vector<std::string> args = c.args;
    args.insert(args.begin(), "--json");
    const ProcessResult json = lookUp(smallStore().path(), args, c.input);
    EXPECT_EQ(json.exitCode, c.status);
    const auto lines = jsonLines(json.output);
    ASSERT_EQ(lines.size(), c.boxes.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i]["text"], c.boxes[i]);
        EXPECT_EQ(lines[i]["found"], !lines[i]["entries"].empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, LexiLookupOutput,
    ::testing::Values(
        CliCase{"ConciseEnglishExact", {"apple"}, "", {entry("apple", "n. 苹果")}, 0},
        CliCase{
            "ConciseEnglishFuzzy",
            {"--fuzzy", "app"},
            "",
            {entry("apple", "n. 苹果") + entry("pineapple", "n. 菠萝；凤梨") + entry("applet", "")},
            0},
        CliCase{"ConciseChineseSearchesExplanations",
                {"凤梨"},
                "",
                {entry("pineapple", "n. 菠萝；凤梨")},
                0},
        CliCase{"ProfessionalEnglishExact",
                {"--professional", "APPLE"},
                "",
                {entry("apple", "苹果；苹果树")},
                0},
        CliCase{"ProfessionalEnglishFuzzy",
                {"--professional", "--fuzzy", "appl"},
                "",
                {entry("apple", "苹果；苹果树") + entry("apply", "申请")},
                0},
        CliCase{"ProfessionalChineseExact",
                {"--professional", "中国"},
                "",
                {entry("中国", "China")},
                0},
        CliCase{"ProfessionalChineseFuzzy",
                {"--professional", "--fuzzy", "中国"},
                "",
                {entry("中国", "China") + entry("中国人", "Chinese")},
                0},
        CliCase{"EnglishApology", {"pear"}, "", {kEnglishApology}, 1},
        CliCase{"ConciseChineseApology", {"香蕉"}, "", {kChineseApology}, 1},
        CliCase{"ProfessionalChineseApology", {"--professional", "梨"}, "", {kEnglishApology}, 1},
        CliCase{"QueryTidiedAsTheTranslatePressTidiesIt",
                {" Apple\r\n"},
                "",
                {entry("apple", "n. 苹果")},
                0},
        CliCase{"TieLooksNothingUp", {" ab中文 "}, "", {"ab中文"}, 1},
        CliCase{"EmptyQueryLooksNothingUp", {"--professional", ""}, "", {""}, 1},
        CliCase{"SomeFoundIsSuccess",
                {"pear", "apple"},
                "",
                {kEnglishApology, entry("apple", "n. 苹果")},
                0},
        CliCase{"QueriesDoNotInfluenceOneAnother",
                {"苹果", "ab中文", "苹果"},
                "",
                {entry("apple", "n. 苹果"), "ab中文", entry("apple", "n. 苹果")},
                0},
        CliCase{"DoubleDashEndsOptions", {"--", "--fuzzy"}, "", {kEnglishApology}, 1},
        CliCase{
            "QuoteIsJustACharacter", {"--professional", "--fuzzy", "'"}, "", {kEnglishApology}, 1},
        // Bytes that are no UTF-8 become U+FFFD, which is English to the translate press.
        CliCase{"StandardInputOneQueryPerLine",
                {},
                "apple\r\n\xFF\xFE\n苹果",
                {entry("apple", "n. 苹果"), kEnglishApology, entry("apple", "n. 苹果")},
                0},
        CliCase{"StandardInputEmpty", {}, "", {}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LexiLookupCli, DirectionOnlyPrintsTheDecision) {
    const ProcessResult decided = lookUp(smallStore().path(), {"--direction", "apple", "苹果"});
    EXPECT_EQ(decided.output, "2\n1\n");
    EXPECT_EQ(decided.exitCode, 0);
    const ProcessResult tie = lookUp(smallStore().path(), {"--direction", "ab中文"});
    EXPECT_EQ(tie.output, "0\n");
    EXPECT_EQ(tie.exitCode, 1);
}

TEST(LexiLookupCli, UsageErrorsExitWith2AndNameTheArgument) {
    const struct {
        std::vector<std::string> args;
        std::string named;
    } cases[] = {{{"--bogus", "apple"}, "--bogus"}, {{"--store"}, "--store"}, {{"-z"}, "-z"}};
    for (const auto& c : cases) {
        const ProcessResult outcome = testing::runProgram(lexiLookup(), c.args);
        EXPECT_EQ(outcome.exitCode, 2) << c.named;
        EXPECT_EQ(outcome.output, "");
        EXPECT_NE(outcome.errors.find(c.named), std::string::npos) << outcome.errors;
        EXPECT_NE(outcome.errors.find("usage:"), std::string::npos);
    }
}

TEST(LexiLookupCli, HelpGoesToStandardOutput) {
    const ProcessResult outcome = testing::runProgram(lexiLookup(), {"--help"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.output.rfind("usage: lexi-lookup", 0), 0u);
    EXPECT_EQ(outcome.errors, "");
}

// By default the dictionary is the file `lexi` in the program's own folder, wherever it is run
// from.
TEST(LexiLookupCli, DefaultStoreLiesBesideTheProgram) {
    const TempDir folder;
    const auto program = folder.path() / "lexi-lookup";
    std::filesystem::copy_file(lexiLookup(), program);
    const ProcessResult missing = testing::runProgram(program, {"apple"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.errors.find((folder.path() / "lexi").string()), std::string::npos);

    std::filesystem::copy_file(smallStore().path(), folder.path() / "lexi");
    const ProcessResult found = testing::runProgram(program, {"apple"});
    EXPECT_EQ(found.exitCode, 0);
    EXPECT_EQ(found.output, printed(entry("apple", "n. 苹果")));
}

// A store named in Chinese is opened, and a missing one is named in the error as it was typed:
// the arguments are UTF-8, which a Windows path made from a plain string would misread.
TEST(LexiLookupCli, StoreInAFolderNamedInChinese) {
    const TempDir folder;
    const auto utf8 = [](const std::filesystem::path& path) {
        const std::u8string name = path.u8string();
        return std::string(name.begin(), name.end());
    };
    const std::filesystem::path chinese = folder.path() / std::u8string(u8"词典");
    std::filesystem::create_directory(chinese);
    std::filesystem::copy_file(smallStore().path(), chinese / "lexi");
    const ProcessResult found =
        testing::runProgram(lexiLookup(), {"--store", utf8(chinese / "lexi"), "apple"});
    EXPECT_EQ(found.exitCode, 0) << found.errors;
    EXPECT_EQ(found.output, printed(entry("apple", "n. 苹果")));

    const std::string missing = utf8(folder.path() / std::u8string(u8"不存在") / "lexi");
    const ProcessResult absent = testing::runProgram(lexiLookup(), {"--store", missing, "apple"});
    EXPECT_EQ(absent.exitCode, 2);
    EXPECT_NE(absent.errors.find(missing), std::string::npos) << absent.errors;
}

// A store that opens but fails when the concise table is read: each query's failure is reported
// on standard error with its statement, and the run goes on.
TEST(LexiLookupCli, StoreErrorsAreReportedAndTheRunGoesOn) {
    const TestStore store = TestStore::fromSql(
        "CREATE TABLE rows (单词 TEXT, 解释 TEXT);"
        "INSERT INTO rows VALUES ('apple', 'n. 苹果');"
        "CREATE VIEW 简明英语单词 AS SELECT 单词, 解释 FROM rows "
        "WHERE abs(-9223372036854775807 - 1) > 0;"
        "CREATE TABLE 英语单词 (单词 TEXT, 解释 TEXT);"
        "INSERT INTO 英语单词 VALUES ('apple', '苹果');"
        "CREATE TABLE 汉语单词 (单词 TEXT, 解释 TEXT);");

    const ProcessResult concise = lookUp(store.path(), {"apple", "苹果"});
    EXPECT_EQ(concise.exitCode, 1);
    EXPECT_EQ(concise.output, printed("apple") + printed("苹果"));
    EXPECT_EQ(concise.errors,
              "lexi-lookup: store error 1: integer overflow "
              "(in: select*from 简明英语单词 where 单词 = 'apple')\n"
              "lexi-lookup: store error 1: integer overflow "
              "(in: select*from 简明英语单词 where 解释  like '%苹果%')\n");

    const ProcessResult professional = lookUp(store.path(), {"--professional", "apple"});
    EXPECT_EQ(professional.exitCode, 0);
    EXPECT_EQ(professional.output, printed(entry("apple", "苹果")));
}

// ---- The store the real builder makes from the fixture excerpts ----
// What lexi-lookup prints must be exactly the rows the store holds for the query, in the store's
// order, laid out as the box lays them out. The rows are read here with plain SQL on a connection
// of the test's own, so the tool's path through the handlers, the store layer and its substring
// index is checked against the file itself.

const TestStore& fixtureStore() {
    static const TestStore store = TestStore::fromFixtures();
    return store;
}

// The first 101 rows of `table` whose `column` matches, as the classic statements select them:
// exact comparison ignores ASCII case; a substring search uses SQLite's own LIKE, which does too.
std::vector<testing::TextRow> rowsFor(const std::string& table, const std::string& column,
                                      bool substring, const std::string& text) {
    const testing::Database db = testing::openDatabase(fixtureStore().path());
    return testing::selectRows(db.get(),
                               "SELECT 单词, 解释 FROM " + table + " WHERE " + column +
                                   (substring ? " LIKE '%' || ?1 || '%'" : " = ?1 COLLATE NOCASE") +
                                   " ORDER BY rowid LIMIT 101",
                               text);
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

class LexiLookupOnFixtures : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(LexiLookupOnFixtures, ListsExactlyTheStoreRowsForTheQuery) {
    const FixtureCase& c = GetParam();
    const auto rows = rowsFor(c.table, c.column, c.substring, c.query);
    ASSERT_EQ(!rows.empty(), c.found);
    std::string box = rows.empty() ? c.apology : "";
    nlohmann::json entries = nlohmann::json::array();
    for (const testing::TextRow& row : rows) {
        box += entry(row[0].value_or(""), row[1].value_or(""));
        entries.push_back({{"word", row[0] ? nlohmann::json(*row[0]) : nullptr},
                           {"explanation", row[1] ? nlohmann::json(*row[1]) : nullptr}});
    }

    std::vector<std::string> args = c.options;
    args.push_back(c.query);
    const ProcessResult plain = lookUp(fixtureStore().path(), args);
    EXPECT_EQ(plain.output, printed(box));
    EXPECT_EQ(plain.exitCode, rows.empty() ? 1 : 0);
    EXPECT_EQ(plain.errors, "");

    args.insert(args.begin(), "--json");
    const auto object = nlohmann::json::parse(lookUp(fixtureStore().path(), args).output);
    EXPECT_EQ(object["query"], c.query);
    EXPECT_EQ(object["direction"], c.direction);
    EXPECT_EQ(object["text"], box);
    EXPECT_EQ(object["entries"], entries);
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

// ---- Hostile input ----

struct Mode {
    const char* name;
    std::vector<std::string> options;
};

void PrintTo(const Mode& mode, std::ostream* os) {
    *os << mode.name;
}

const Mode kModes[] = {
    {"Concise", {"--json"}},
    {"ConciseFuzzy", {"--json", "--fuzzy"}},
    {"Professional", {"--professional", "--json"}},
    {"ProfessionalFuzzy", {"--professional", "--json", "--fuzzy"}},
};

ProcessResult lookUpHostile(const Mode& mode, const std::vector<std::string>& queries,
                            const std::string& input = "") {
    std::vector<std::string> args = mode.options;
    if (!queries.empty()) {
        args.push_back("--");
        args.insert(args.end(), queries.begin(), queries.end());
    }
    return lookUp(testing::hostileStore(), args, input);
}

const std::string kSeparatorLine = toUtf8(kSeparator);

// An answer is a listing of 1 to 101 entries, or the apology, or, when no language was decided,
// nothing looked up at all.
void expectWellFormed(const nlohmann::json& answer, bool professional) {
    const int direction = answer["direction"];
    const std::string text = answer["text"];
    const auto& entries = answer["entries"];
    ASSERT_TRUE(direction >= 0 && direction <= 2) << answer.dump();
    if (direction == 0) {
        EXPECT_FALSE(answer["found"]) << answer.dump();
        EXPECT_TRUE(entries.empty()) << answer.dump();
    } else if (answer["found"]) {
        EXPECT_GE(entries.size(), 1u);
        EXPECT_LE(entries.size(), static_cast<std::size_t>(kRowCap));
        EXPECT_TRUE(text.ends_with("\r\n" + kSeparatorLine)) << answer.dump();
    } else {
        const bool chineseConcise = !professional && direction == 1;
        EXPECT_EQ(text, chineseConcise ? kChineseApology : kEnglishApology);
    }
}

class LexiLookupHostile : public ::testing::TestWithParam<Mode> {};

// A megabyte is too much for a command line, and its JSON takes long to read back; it has a test
// of its own below.
constexpr std::size_t kLongestJsonQuery = 100000;

// Every hostile input on standard input, one per line, and those that fit on a command line also
// as arguments: each gets its answer, the same either way, and no store error is reported.
TEST_P(LexiLookupHostile, AnswersEveryQueryWithoutAStoreError) {
    const bool professional = GetParam().options.front() == "--professional";
    std::string input;
    std::vector<std::string> arguments;
    std::vector<std::size_t> argumentLines;
    std::size_t lines = 0;
    std::size_t commandLine = 0;
    for (const auto& hostile : testing::hostileInputs()) {
        // A line break inside a query would make two lines of it; the box tidies them away.
        const std::string bytes = toUtf8(removeAll(removeAll(hostile.text, u'\r'), u'\n'));
        if (bytes.size() > kLongestJsonQuery) {
            continue;
        }
        input += bytes + "\n";
        // UTF-16 takes no more units than UTF-8 takes bytes; quoting at most doubles them.
        const std::size_t quoted = 2 * bytes.size() + 3;
        if (bytes.find('\0') == std::string::npos &&
            commandLine + quoted < testing::longestCommandLine()) {
            commandLine += quoted;
            arguments.push_back(bytes);
            argumentLines.push_back(lines);
        }
        ++lines;
    }
    // Bytes that are no UTF-8 at all, an encoded lone surrogate among them, are replaced.
    input += "\xED\xA0\x80\xFF\xC0\x80 apple\n";
    ++lines;

    const ProcessResult fromInput = lookUpHostile(GetParam(), {}, input);
    EXPECT_TRUE(fromInput.exitCode == 0 || fromInput.exitCode == 1) << fromInput.exitCode;
    EXPECT_EQ(fromInput.errors, "");
    const auto inputAnswers = jsonLines(fromInput.output);
    ASSERT_EQ(inputAnswers.size(), lines);
    for (const auto& answer : inputAnswers) {
        expectWellFormed(answer, professional);
    }

    const ProcessResult fromArguments = lookUpHostile(GetParam(), arguments);
    EXPECT_EQ(fromArguments.errors, "");
    const auto argumentAnswers = jsonLines(fromArguments.output);
    ASSERT_EQ(argumentAnswers.size(), arguments.size());
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        EXPECT_EQ(argumentAnswers[i], inputAnswers[argumentLines[i]]) << arguments[i];
    }
}

// Each megabyte line is answered as the box would answer it: the apology, or for a megabyte of
// wildcards in a substring search, a full listing.
TEST_P(LexiLookupHostile, AnswersAMegabyteOnStandardInput) {
    Mode plain = GetParam();
    std::erase(plain.options, std::string("--json"));
    for (const auto& hostile : testing::hostileInputs()) {
        const std::string bytes = toUtf8(hostile.text);
        if (bytes.size() <= kLongestJsonQuery) {
            continue;
        }
        const ProcessResult outcome = lookUpHostile(plain, {}, bytes + "\n");
        EXPECT_EQ(outcome.errors, "") << hostile.name;
        const bool listed = outcome.output.ends_with(kSeparatorLine + "\n\n");
        EXPECT_EQ(outcome.exitCode, listed ? 0 : 1) << hostile.name;
        EXPECT_TRUE(listed || outcome.output == printed(kEnglishApology) ||
                    outcome.output == printed(kChineseApology))
            << hostile.name << ": " << outcome.output.substr(0, 200);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryMode, LexiLookupHostile, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Stores that cannot be opened ----

class LexiLookupBrokenStore : public ::testing::TestWithParam<testing::StartUpCase> {};

// The program ends at once, names the path and the store's error, and leaves the file as it
// was: a missing store is not created.
TEST_P(LexiLookupBrokenStore, EndsAtOnceNamingThePathAndTheStoresError) {
    const testing::StartUpCase& c = GetParam();
    const TempDir dir;
    const auto file = dir.path() / "lexi";
    c.make(file);
    const bool existed = std::filesystem::exists(file);
    const ProcessResult outcome = lookUp(file, {"apple"});
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_EQ(outcome.output, "");
    EXPECT_NE(outcome.errors.find(file.string()), std::string::npos) << outcome.errors;
    EXPECT_NE(outcome.errors.find(c.says), std::string::npos) << outcome.errors;
    EXPECT_EQ(std::filesystem::exists(file), existed);
}

INSTANTIATE_TEST_SUITE_P(EveryFault, LexiLookupBrokenStore,
                         ::testing::ValuesIn(testing::startUpCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace moshitong
