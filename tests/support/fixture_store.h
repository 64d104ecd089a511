#pragma once
// The small source excerpts in data/fixtures and the real lexi-build that makes a store of them
// (TestStore::fromFixtures in temp_store.h). Tests see exactly the rows, explanations and order
// the full store has for those words, without a binary database in the repository.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/run_program.h"

namespace moshitong::testing {

// The excerpts: "ecdict.csv", "cedict.js" and "jieba.txt".
std::filesystem::path fixturePath(std::string_view name);

// The build time every fixture store records (SOURCE_DATE_EPOCH=0), so two builds of the same
// fixtures are byte for byte the same file.
inline constexpr std::string_view kFixtureBuildTime = "1970-01-01T00:00:00Z";

// Runs lexi-build with `args` (SOURCE_DATE_EPOCH=0 in its environment) and waits for it.
ProcessResult runLexiBuild(const std::vector<std::string>& args);

// The arguments that build `out` from the fixtures, for tests that swap one source for a bad one.
std::vector<std::string> fixtureArguments(const std::filesystem::path& out);

// Builds `store` from the fixtures. Throws std::runtime_error carrying lexi-build's message when
// the build fails.
void buildFixtureStore(const std::filesystem::path& store);

}  // namespace moshitong::testing
