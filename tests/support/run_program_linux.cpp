#include "tests/support/run_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "tests/support/temp_store.h"

extern char** environ;

namespace moshitong::testing {

namespace {

void check(int rc, std::string_view what) {
    if (rc != 0) {
        throw std::runtime_error(std::string(what) + ": " + std::strerror(rc));
    }
}

// File actions are a handle with a destroy call; this keeps the two paired.
class FileActions {
public:
    FileActions() { check(posix_spawn_file_actions_init(&actions_), "posix_spawn_file_actions"); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;

    void open(int descriptor, const std::filesystem::path& file, int flags) {
        check(posix_spawn_file_actions_addopen(&actions_, descriptor, file.c_str(), flags, 0600),
              "posix_spawn_file_actions_addopen " + file.string());
    }
    const posix_spawn_file_actions_t* get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

std::string nameOf(std::string_view entry) {
    return std::string(entry.substr(0, entry.find('=')));
}

std::vector<std::string> environmentWith(const std::vector<std::string>& changes) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string name = nameOf(*entry);
        const bool replaced = std::any_of(changes.begin(), changes.end(), [&](const auto& change) {
            return nameOf(change) == name;
        });
        if (!replaced) {
            result.emplace_back(*entry);
        }
    }
    result.insert(result.end(), changes.begin(), changes.end());
    return result;
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

ProcessResult runProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         std::string_view input, const std::vector<std::string>& environment) {
    const TempDir io;
    writeFile(io.path() / "in", input);
    FileActions actions;
    actions.open(STDIN_FILENO, io.path() / "in", O_RDONLY);
    actions.open(STDOUT_FILENO, io.path() / "out", O_WRONLY | O_CREAT | O_TRUNC);
    actions.open(STDERR_FILENO, io.path() / "err", O_WRONLY | O_CREAT | O_TRUNC);

    std::vector<std::string> argv{program.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> envp = environmentWith(environment);
    pid_t child = 0;
    check(posix_spawn(&child, program.c_str(), actions.get(), nullptr, pointersTo(argv).data(),
                      pointersTo(envp).data()),
          "cannot start " + program.string());
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            check(errno, "waitpid");
        }
    }
    ProcessResult result;
    if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    } else {
        result.signal = WTERMSIG(status);
    }
    result.output = readFile(io.path() / "out");
    result.errors = readFile(io.path() / "err");
    return result;
}

std::size_t longestCommandLine() {
    // Far below ARG_MAX, which the environment shares.
    return std::size_t{1} << 20;
}

}  // namespace moshitong::testing
