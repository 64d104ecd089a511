// What lexi-build does with bad input: a message naming the file and the place, a non-zero exit
// and no store (nor temporary file) left behind.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ostream>

#include "tests/support/fixture_store.h"
#include "tests/support/temp_store.h"

namespace moshitong::builder {
namespace {

// The fixtures, the folders and the runs of lexi-build that every test here works with.
using namespace moshitong::testing;

std::vector<std::string> entriesOf(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The fixture arguments with one source replaced.
std::vector<std::string> withSource(const std::filesystem::path& out, std::string_view option,
                                    const std::filesystem::path& file) {
    std::vector<std::string> args = fixtureArguments(out);
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == option) {
            args[i + 1] = file.string();
        }
    }
    return args;
}

struct BadInput {
    std::string_view name;
    std::string_view option;    // the source swapped for a bad one
    std::string_view fileName;  // written into the test's folder
    std::string content;        // empty: the file is not created at all
    std::string message;        // what stderr must say after the file's path

    // Names the case in test listings instead of dumping its bytes.
    friend void PrintTo(const BadInput& value, std::ostream* out) { *out << value.name; }
};

class BadInputs : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputs, StopTheBuildWithAMessageAndLeaveNoStore) {
    const BadInput& bad = GetParam();
    TempDir sources;
    TempDir target;
    const auto file = sources.path() / bad.fileName;
    if (!bad.content.empty()) {
        writeFile(file, bad.content);
    }
    const ProcessResult result = runLexiBuild(withSource(target.path() / "lexi", bad.option, file));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find("lexi-build: " + file.string() + ": " + bad.message),
              std::string::npos)
        << result.errors;
    EXPECT_TRUE(entriesOf(target.path()).empty()) << "left behind: " << entriesOf(target.path())[0];
}

std::string truncatedCedict() {
    const std::string whole = readFile(fixturePath("cedict.js"));
    return whole.substr(0, whole.size() / 2);
}

// The fixture with a last row whose quoted field never closes, and the line that row is on.
std::string ecdictWithUnclosedQuote() {
    return readFile(fixturePath("ecdict.csv")) + "broken,\"never closed,,,,,,,0,0,,,\r\n";
}

std::string unclosedQuoteMessage() {
    const std::string text = readFile(fixturePath("ecdict.csv"));
    const auto lines = std::count(text.begin(), text.end(), '\n');
    return "line " + std::to_string(lines + 1) + ": malformed CSV: a quoted field is not closed";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInputs,
    ::testing::Values(
        BadInput{"MissingEcdict", "--ecdict", "ecdict.csv", "", "no such file"},
        BadInput{"MissingJieba", "--jieba", "dict.txt", "", "no such file"},
        BadInput{"UnclosedQuote", "--ecdict", "ecdict.csv", ecdictWithUnclosedQuote(),
                 unclosedQuoteMessage()},
        BadInput{"ShortRow", "--ecdict", "ecdict.csv",
                 "word,phonetic,definition,translation,collins,oxford,tag,bnc,frq,exchange\n"
                 "apple,,,苹果,,,,0,0,\nbanana,,,香蕉\n",
                 "line 3: expected 10 fields, found 4"},
        BadInput{"TruncatedJson", "--cedict", "all.js", truncatedCedict(), "line 1, column "},
        BadInput{"JsonOfTheWrongShape", "--cedict", "all.js",
                 R"(export default {"all":[["中","中","zhong1","middle"],["國","国"]]})",
                 "\"all\"[1]: must be a list of traditional, simplified, pinyin and senses"},
        BadInput{"JiebaLineWithoutCount", "--jieba", "dict.txt", "中国 129470 ns\n苹果\n",
                 "line 2: expected a word and its count"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LexiBuild, AFailedBuildLeavesTheOldStoreAsItWas) {
    TempDir target;
    const auto store = target.path() / "lexi";
    writeFile(store, "the previous store");
    const ProcessResult result =
        runLexiBuild(withSource(store, "--cedict", target.path() / "missing.js"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(readFile(store), "the previous store");
    EXPECT_EQ(entriesOf(target.path()), std::vector<std::string>{"lexi"});
}

// The id of a process that has ended.
pid_t endedProcessId() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(LexiBuild, ASuccessfulBuildReplacesTheOldStoreAndLeavesNothingElse) {
    TempDir target;
    const auto store = target.path() / "lexi";
    writeFile(store, "the previous store");
    const std::string killed = ".lexi.tmp-" + std::to_string(endedProcessId());
    writeFile(target.path() / killed, "the temporary file of a build that was killed");
    // Process 1 runs as long as the system does.
    writeFile(target.path() / ".lexi.tmp-1", "the temporary file of a build still running");
    writeFile(target.path() / ".other.tmp-2", "another target's");
    const ProcessResult result = runLexiBuild(fixtureArguments(store));
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_TRUE(readFile(store).starts_with("SQLite format 3"));
    EXPECT_EQ(result.errors, "");  // --quiet: no progress
    EXPECT_EQ(entriesOf(target.path()),
              (std::vector<std::string>{".lexi.tmp-1", ".other.tmp-2", "lexi"}));
}

TEST(LexiBuild, ReportsProgressWithoutQuiet) {
    TempDir target;
    std::vector<std::string> args = fixtureArguments(target.path() / "lexi");
    args.pop_back();  // --quiet
    const ProcessResult result = runLexiBuild(args);
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_NE(result.errors.find("writing 英语单词 ("), std::string::npos) << result.errors;
    EXPECT_NE(result.errors.find("wrote " + (target.path() / "lexi").string()), std::string::npos);
}

TEST(LexiBuild, AStoreThatCannotBeWrittenIsAnError) {
    TempDir target;
    const auto store = target.path() / "no such folder" / "lexi";
    const ProcessResult result = runLexiBuild(fixtureArguments(store));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find("lexi-build: cannot write " + store.string()), std::string::npos)
        << result.errors;
    EXPECT_TRUE(entriesOf(target.path()).empty());
}

TEST(LexiBuild, AWrongCommandLineExitsWithTwoAndHelpWithZero) {
    const ProcessResult wrong = runLexiBuild({"--ecdict", "x.csv"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_NE(wrong.errors.find("lexi-build: missing --cedict"), std::string::npos) << wrong.errors;
    const ProcessResult help = runLexiBuild({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.starts_with("Usage: lexi-build --ecdict FILE")) << help.output;
    EXPECT_EQ(help.errors, "");
}

}  // namespace
}  // namespace moshitong::builder
