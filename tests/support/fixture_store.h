#pragma once
// A store built from the small source excerpts in data/fixtures by the real lexi-build, into a
// folder the test owns. Tests see exactly the rows, explanations and order the full store has
// for those words, without a binary database in the repository.
//
//     moshitong::testing::TempDir dir;  // tests/common/temp_store.h
//     const auto store = moshitong::testing::buildFixtureStore(dir.path());
//     moshitong::OpenDictionary(Conn, store);

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace moshitong::testing {

// The excerpts: "ecdict.csv", "cedict.js" and "jieba.txt".
std::filesystem::path fixturePath(std::string_view name);

// The build time every fixture store records (SOURCE_DATE_EPOCH=0), so two builds of the same
// fixtures are byte for byte the same file.
inline constexpr std::string_view kFixtureBuildTime = "1970-01-01T00:00:00Z";

// Builds `dir`/lexi from the fixtures and returns its path. Throws std::runtime_error carrying
// lexi-build's message when the build fails.
std::filesystem::path buildFixtureStore(const std::filesystem::path& dir);

struct ProcessResult {
    int exitCode = -1;   // the exit status, or 128 + the signal that ended the program
    std::string output;  // what it wrote to standard output
    std::string errors;  // what it wrote to standard error
};

// Runs lexi-build with `args` (SOURCE_DATE_EPOCH=0 in its environment) and waits for it.
ProcessResult runLexiBuild(const std::vector<std::string>& args);

// The arguments that build `out` from the fixtures, for tests that swap one source for a bad one.
std::vector<std::string> fixtureArguments(const std::filesystem::path& out);

}  // namespace moshitong::testing
