#include "tests/support/fixture_store.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace moshitong::testing {

namespace {

// Spawn attributes and file actions are handles with a destroy call; these keep them paired.
class FileActions {
public:
    FileActions() { posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

// A file that captures one output stream of the child; removed when the run is over.
class CaptureFile {
public:
    explicit CaptureFile(std::string_view stream) {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("lexi-build-" + std::string(stream) + "-" + std::to_string(seed()) +
                 std::to_string(seed()));
    }
    ~CaptureFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    CaptureFile(const CaptureFile&) = delete;
    CaptureFile& operator=(const CaptureFile&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string contents() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return std::move(text).str();
    }

private:
    std::filesystem::path path_;
};

std::vector<std::string> environmentWithFixedTime() {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::string_view(*entry).starts_with("SOURCE_DATE_EPOCH=")) {
            continue;
        }
        environment.emplace_back(*entry);
    }
    environment.emplace_back("SOURCE_DATE_EPOCH=0");
    return environment;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

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
    std::vector<std::string> argv{MOSHITONG_LEXI_BUILD};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> environment = environmentWithFixedTime();
    const CaptureFile output("out");
    const CaptureFile errors("err");
    FileActions actions;
    posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, output.path().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(actions.get(), STDERR_FILENO, errors.path().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    const int rc = posix_spawn(&child, argv.front().c_str(), actions.get(), nullptr,
                               pointersTo(argv).data(), pointersTo(environment).data());
    if (rc != 0) {
        throw std::runtime_error("cannot start " + argv.front() + ": " + std::strerror(rc));
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error(std::string("waitpid: ") + std::strerror(errno));
        }
    }
    ProcessResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.output = output.contents();
    result.errors = errors.contents();
    return result;
}

std::filesystem::path buildFixtureStore(const std::filesystem::path& dir) {
    const std::filesystem::path store = dir / "lexi";
    const ProcessResult result = runLexiBuild(fixtureArguments(store));
    if (result.exitCode != 0) {
        throw std::runtime_error("lexi-build failed (exit " + std::to_string(result.exitCode) +
                                 "): " + result.errors);
    }
    return store;
}

}  // namespace moshitong::testing
