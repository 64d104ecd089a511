#include "tests/support/fixture_store.h"

#include <stdexcept>

namespace moshitong::testing {

std::filesystem::path fixturePath(std::string_view name) {
    return std::filesystem::path(MOSHITONG_FIXTURES_DIR) / name;
}

std::vector<std::string> fixtureArguments(const std::filesystem::path& out) {
    return {"--ecdict",
            fixturePath("ecdict.csv").string(),
            "--cedict",
            fixturePath("cedict.js").string(),
            "--jieba",
            fixturePath("jieba.txt").string(),
            "--out",
            out.string(),
            "--ecdict-version",
            "fixture",
            "--cedict-version",
            "fixture",
            "--jieba-version",
            "fixture",
            "--quiet"};
}

ProcessResult runLexiBuild(const std::vector<std::string>& args) {
    return runProgram(builtProgram("lexi-build"), args, {}, {"SOURCE_DATE_EPOCH=0"});
}

void buildFixtureStore(const std::filesystem::path& store) {
    const ProcessResult result = runLexiBuild(fixtureArguments(store));
    if (result.exitCode != 0) {
        throw std::runtime_error("lexi-build failed (exit " + std::to_string(result.exitCode) +
                                 ", signal " + std::to_string(result.signal) +
                                 "): " + result.errors);
    }
}

}  // namespace moshitong::testing
