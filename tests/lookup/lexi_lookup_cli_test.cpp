// Runs the built lexi-lookup as a user would, on a small store written for the test.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "core/text.h"
#include "tests/common/temp_store.h"
#include "tests/lookup/run_program.h"

namespace moshitong {
namespace {

using testing::Outcome;
using testing::TempDir;
using testing::TempRow;

const std::filesystem::path kProgram = LEXI_LOOKUP_PROGRAM;

Outcome runProgram(const std::vector<std::string>& args, const std::string& input = "",
                   const std::filesystem::path& program = kProgram) {
    return testing::runProgram(program, args, input);
}

const std::string kHyphens(32, '-');

// One entry as lexi-lookup prints it: the box's CR LF written as LF.
std::string entry(const std::string& word, const std::string& explanation) {
    return "\n" + word + "\n\n" + explanation + "\n\n" + kHyphens;
}

// What follows each query's box text.
const std::string kEnd = "\n\n";

const std::vector<TempRow> kRows = {
    {Table::Concise, u"apple", u"n. 苹果"},    {Table::Concise, u"pineapple", u"n. 菠萝；凤梨"},
    {Table::Concise, u"applet", std::nullopt}, {Table::English, u"apple", u"苹果；苹果树"},
    {Table::English, u"apply", u"申请"},       {Table::Chinese, u"中国", u"China"},
    {Table::Chinese, u"中国人", u"Chinese"},   {Table::Chinese, u"苹果", u"apple"},
};

class LexiLookupCli : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new TempDir;
        testing::writeStore(store(), kRows);
    }
    static void TearDownTestSuite() {
        delete dir;
        dir = nullptr;
    }
    static std::filesystem::path store() { return dir->path() / "lexi"; }
    static Outcome lookUp(std::vector<std::string> args, const std::string& input = "") {
        args.insert(args.begin(), {"--store", store().string()});
        return runProgram(args, input);
    }

    static TempDir* dir;
};

TempDir* LexiLookupCli::dir = nullptr;

struct CliCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    std::string out;
    int status;
};

void PrintTo(const CliCase& c, std::ostream* os) {
    *os << c.name;
}

class LexiLookupOutput : public LexiLookupCli, public ::testing::WithParamInterface<CliCase> {};

TEST_P(LexiLookupOutput, PrintsWhatTheBoxWouldShow) {
    const CliCase& c = GetParam();
    const Outcome outcome = lookUp(c.args, c.input);
    EXPECT_EQ(outcome.out, c.out);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, LexiLookupOutput,
    ::testing::Values(
        CliCase{"ConciseEnglishExact", {"apple"}, "", entry("apple", "n. 苹果") + kEnd, 0},
        CliCase{"ConciseEnglishFuzzy",
                {"--fuzzy", "app"},
                "",
                entry("apple", "n. 苹果") + entry("pineapple", "n. 菠萝；凤梨") +
                    entry("applet", "") + kEnd,
                0},
        CliCase{"ConciseChineseSearchesExplanations",
                {"凤梨"},
                "",
                entry("pineapple", "n. 菠萝；凤梨") + kEnd,
                0},
        CliCase{"ProfessionalEnglishExact",
                {"--professional", "APPLE"},
                "",
                entry("apple", "苹果；苹果树") + kEnd,
                0},
        CliCase{"ProfessionalEnglishFuzzy",
                {"--professional", "--fuzzy", "appl"},
                "",
                entry("apple", "苹果；苹果树") + entry("apply", "申请") + kEnd,
                0},
        CliCase{"ProfessionalChineseExact",
                {"--professional", "中国"},
                "",
                entry("中国", "China") + kEnd,
                0},
        CliCase{"ProfessionalChineseFuzzy",
                {"--professional", "--fuzzy", "中国"},
                "",
                entry("中国", "China") + entry("中国人", "Chinese") + kEnd,
                0},
        CliCase{"EnglishApology", {"pear"}, "", "对不起，没找到这个词儿！" + kEnd, 1},
        CliCase{"ConciseChineseApology", {"香蕉"}, "", "对不起，没找到这个词！" + kEnd, 1},
        CliCase{"ProfessionalChineseApology",
                {"--professional", "梨"},
                "",
                "对不起，没找到这个词儿！" + kEnd,
                1},
        CliCase{"TieLooksNothingUp", {" ab中文 "}, "", "ab中文" + kEnd, 1},
        CliCase{"SomeFoundIsSuccess",
                {"pear", "apple"},
                "",
                "对不起，没找到这个词儿！" + kEnd + entry("apple", "n. 苹果") + kEnd,
                0},
        CliCase{
            "DoubleDashEndsOptions", {"--", "--fuzzy"}, "", "对不起，没找到这个词儿！" + kEnd, 1},
        CliCase{"QuoteIsJustACharacter",
                {"--professional", "--fuzzy", "'"},
                "",
                "对不起，没找到这个词儿！" + kEnd,
                1},
        CliCase{"DirectionOnly", {"--direction", "apple", "苹果", "ab中文"}, "", "2\n1\n0\n", 0},
        CliCase{"DirectionOnlyNoneDecided", {"--direction", "ab中文"}, "", "0\n", 1},
        CliCase{"StandardInputOneQueryPerLine",
                {},
                "apple\r\n\xFF\xFE\n苹果",
                entry("apple", "n. 苹果") + kEnd + "对不起，没找到这个词儿！" + kEnd +
                    entry("apple", "n. 苹果") + kEnd,
                0},
        CliCase{"StandardInputEmpty", {}, "", "", 1}),
    [](const auto& info) { return std::string(info.param.name); });

// The JSON form carries the same box text, with its CR LF, and the listed rows.
TEST_F(LexiLookupCli, JsonMatchesThePlainOutput) {
    const std::vector<std::vector<std::string>> runs = {
        {"apple", "苹果", "pear", "ab中文"},
        {"--fuzzy", "app", "梨"},
        {"--professional", "apple", "中国", "梨"},
        {"--professional", "--fuzzy", "appl", "中国"},
    };
    for (const auto& args : runs) {
        SCOPED_TRACE(args.back());
        const Outcome plain = lookUp(args);
        auto jsonArgs = args;
        jsonArgs.insert(jsonArgs.begin(), "--json");
        const Outcome json = lookUp(jsonArgs);
        EXPECT_EQ(json.status, plain.status);

        std::istringstream lines(json.out);
        std::string line;
        std::string rebuilt;
        std::size_t count = 0;
        while (std::getline(lines, line)) {
            const auto object = nlohmann::json::parse(line);
            const std::string text = object["text"];
            rebuilt += toUtf8(removeAll(fromUtf8(text), u'\r')) + kEnd;
            EXPECT_EQ(object["found"], !object["entries"].empty());
            ++count;
        }
        EXPECT_EQ(rebuilt, plain.out);
        const auto queries = std::count_if(
            args.begin(), args.end(), [](const std::string& a) { return !a.starts_with("--"); });
        EXPECT_EQ(count, static_cast<std::size_t>(queries));
    }
}

TEST_F(LexiLookupCli, JsonObjectForEachKindOfQuery) {
    const Outcome outcome = lookUp({"--json", "--fuzzy", "app", "ab中文"});
    std::istringstream lines(outcome.out);
    std::string found;
    std::string tie;
    std::getline(lines, found);
    std::getline(lines, tie);
    EXPECT_EQ(nlohmann::json::parse(found), nlohmann::json::parse(R"({
        "query": "app", "direction": 2,
        "text": "\r\napple\r\n\r\nn. 苹果\r\n\r\n--------------------------------\r\npineapple\r\n\r\nn. 菠萝；凤梨\r\n\r\n--------------------------------\r\napplet\r\n\r\n\r\n\r\n--------------------------------",
        "entries": [{"word": "apple", "explanation": "n. 苹果"},
                    {"word": "pineapple", "explanation": "n. 菠萝；凤梨"},
                    {"word": "applet", "explanation": null}],
        "found": true})"));
    EXPECT_EQ(tie,
              R"({"query":"ab中文","direction":0,"text":"ab中文","entries":[],"found":false})");
    EXPECT_EQ(outcome.status, 0);
}

TEST_F(LexiLookupCli, InvalidBytesOnStandardInputAreReplaced) {
    const Outcome outcome = lookUp({"--json"},
                                   "\xC0\xAF"
                                   "apple\n");
    const auto object = nlohmann::json::parse(outcome.out);
    EXPECT_EQ(object["query"],
              "\xEF\xBF\xBD\xEF\xBF\xBD"
              "apple");
    EXPECT_EQ(outcome.status, 1);
}

TEST_F(LexiLookupCli, UsageErrorsExitWith2AndNameTheArgument) {
    const struct {
        std::vector<std::string> args;
        std::string named;
    } cases[] = {{{"--bogus", "apple"}, "--bogus"}, {{"--store"}, "--store"}, {{"-z"}, "-z"}};
    for (const auto& c : cases) {
        const Outcome outcome = runProgram(c.args);
        EXPECT_EQ(outcome.status, 2) << c.named;
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find(c.named), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find("usage:"), std::string::npos);
    }
}

TEST_F(LexiLookupCli, HelpGoesToStandardOutput) {
    const Outcome outcome = runProgram({"--help"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out.rfind("usage: lexi-lookup", 0), 0u);
    EXPECT_EQ(outcome.err, "");
}

TEST_F(LexiLookupCli, StoreThatCannotBeOpenedExitsWith2NamingThePath) {
    const TempDir other;
    const auto junk = other.path() / "junk";
    std::ofstream(junk) << "not a dictionary, only text long enough to look like a header";
    for (const auto& path : {other.path() / "missing" / "lexi", junk}) {
        const Outcome outcome = runProgram({"--store", path.string(), "apple"});
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find(path.string()), std::string::npos) << outcome.err;
    }
    EXPECT_FALSE(std::filesystem::exists(other.path() / "missing"));
}

// By default the dictionary is the file `lexi` in the program's own folder, wherever it is run
// from.
TEST_F(LexiLookupCli, DefaultStoreLiesBesideTheProgram) {
    const TempDir folder;
    const auto program = folder.path() / "lexi-lookup";
    std::filesystem::copy_file(kProgram, program);
    const Outcome missing = runProgram({"apple"}, "", program);
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find((folder.path() / "lexi").string()), std::string::npos);

    std::filesystem::copy_file(store(), folder.path() / "lexi");
    const Outcome found = runProgram({"apple"}, "", program);
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.out, entry("apple", "n. 苹果") + kEnd);
}

// A store that opens but fails when the concise table is read: each query's failure is reported
// on standard error with its statement, and the run goes on.
TEST_F(LexiLookupCli, StoreErrorsAreReportedAndTheRunGoesOn) {
    const TempDir other;
    const auto file = other.path() / "lexi";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    testing::execOrThrow(db,
                         "CREATE TABLE rows (单词 TEXT, 解释 TEXT);"
                         "INSERT INTO rows VALUES ('apple', 'n. 苹果');"
                         "CREATE VIEW 简明英语单词 AS SELECT 单词, 解释 FROM rows "
                         "WHERE abs(-9223372036854775807 - 1) > 0;"
                         "CREATE TABLE 英语单词 (单词 TEXT, 解释 TEXT);"
                         "INSERT INTO 英语单词 VALUES ('apple', '苹果');"
                         "CREATE TABLE 汉语单词 (单词 TEXT, 解释 TEXT);");
    sqlite3_close(db);

    const Outcome concise = runProgram({"--store", file.string(), "apple", "苹果"});
    EXPECT_EQ(concise.status, 1);
    EXPECT_EQ(concise.out, "apple" + kEnd + "苹果" + kEnd);
    EXPECT_EQ(concise.err,
              "lexi-lookup: store error 1: integer overflow "
              "(in: select*from 简明英语单词 where 单词 = 'apple')\n"
              "lexi-lookup: store error 1: integer overflow "
              "(in: select*from 简明英语单词 where 解释  like '%苹果%')\n");

    const Outcome professional = runProgram({"--store", file.string(), "--professional", "apple"});
    EXPECT_EQ(professional.status, 0);
    EXPECT_EQ(professional.out, entry("apple", "苹果") + kEnd);
}

}  // namespace
}  // namespace moshitong
