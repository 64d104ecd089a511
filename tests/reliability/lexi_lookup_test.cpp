// The built lexi-lookup under hostile input and broken stores, run as a user runs it: every query
// gets the box's text (a listing, the apology, or the query itself when no language was decided),
// store errors never appear for a sound store, and a store that cannot be opened ends the program
// at once with a message naming the path and the store's error.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "core/text.h"
#include "tests/lookup/run_program.h"
#include "tests/reliability/broken_stores.h"
#include "tests/reliability/hostile_inputs.h"

namespace moshitong {
namespace {

const std::filesystem::path kProgram = LEXI_LOOKUP_PROGRAM;
const std::string kSeparatorLine = toUtf8(kSeparator);

struct Mode {
    const char* name;
    std::vector<std::string> options;
};

const Mode kModes[] = {
    {"Concise", {"--json"}},
    {"ConciseFuzzy", {"--json", "--fuzzy"}},
    {"Professional", {"--professional", "--json"}},
    {"ProfessionalFuzzy", {"--professional", "--json", "--fuzzy"}},
};

testing::Outcome lookUp(const Mode& mode, const std::vector<std::string>& queries,
                        const std::string& input = "") {
    std::vector<std::string> args{"--store", testing::hostileStore().string()};
    args.insert(args.end(), mode.options.begin(), mode.options.end());
    if (!queries.empty()) {
        args.push_back("--");
        args.insert(args.end(), queries.begin(), queries.end());
    }
    return testing::runProgram(kProgram, args, input);
}

std::vector<nlohmann::json> answers(const std::string& out) {
    std::vector<nlohmann::json> list;
    for (std::size_t start = 0; start < out.size();) {
        const std::size_t end = out.find('\n', start);
        list.push_back(nlohmann::json::parse(out.substr(start, end - start)));
        start = end == std::string::npos ? out.size() : end + 1;
    }
    return list;
}

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
        EXPECT_EQ(text, toUtf8(chineseConcise ? kApologyChinese : kApologyEnglish));
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
    for (const auto& hostile : testing::hostileInputs()) {
        // A line break inside a query would make two lines of it; the box tidies them away.
        const std::string bytes = toUtf8(removeAll(removeAll(hostile.text, u'\r'), u'\n'));
        if (bytes.size() > kLongestJsonQuery) {
            continue;
        }
        input += bytes + "\n";
        if (bytes.find('\0') == std::string::npos) {
            arguments.push_back(bytes);
            argumentLines.push_back(lines);
        }
        ++lines;
    }
    // Bytes that are no UTF-8 at all, an encoded lone surrogate among them, are replaced.
    input += "\xED\xA0\x80\xFF\xC0\x80 apple\n";
    ++lines;

    const testing::Outcome fromInput = lookUp(GetParam(), {}, input);
    EXPECT_TRUE(fromInput.status == 0 || fromInput.status == 1) << fromInput.status;
    EXPECT_EQ(fromInput.err, "");
    const auto inputAnswers = answers(fromInput.out);
    ASSERT_EQ(inputAnswers.size(), lines);
    for (const auto& answer : inputAnswers) {
        expectWellFormed(answer, professional);
    }

    const testing::Outcome fromArguments = lookUp(GetParam(), arguments);
    EXPECT_EQ(fromArguments.err, "");
    const auto argumentAnswers = answers(fromArguments.out);
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
        const testing::Outcome outcome = lookUp(plain, {}, bytes + "\n");
        EXPECT_EQ(outcome.err, "") << hostile.name;
        const bool listed = outcome.out.ends_with(kSeparatorLine + "\n\n");
        EXPECT_EQ(outcome.status, listed ? 0 : 1) << hostile.name;
        EXPECT_TRUE(listed || outcome.out == toUtf8(kApologyEnglish) + "\n\n" ||
                    outcome.out == toUtf8(kApologyChinese) + "\n\n")
            << hostile.name << ": " << outcome.out.substr(0, 200);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryMode, LexiLookupHostile, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace moshitong

namespace moshitong {
namespace {

class LexiLookupBrokenStore : public ::testing::TestWithParam<testing::StartUpCase> {};

TEST_P(LexiLookupBrokenStore, EndsAtOnceNamingThePathAndTheStoresError) {
    const testing::StartUpCase& c = GetParam();
    const testing::TempDir dir;
    const auto file = dir.path() / "lexi";
    c.make(file);
    const testing::Outcome outcome =
        testing::runProgram(kProgram, {"--store", file.string(), "apple"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err.find(file.string()), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
}

INSTANTIATE_TEST_SUITE_P(EveryFault, LexiLookupBrokenStore,
                         ::testing::ValuesIn(testing::startUpCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace moshitong
