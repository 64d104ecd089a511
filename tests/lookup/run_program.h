#pragma once
// Runs a built program as a user would: arguments, bytes on standard input, and what it writes
// to standard output and standard error.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/common/temp_store.h"

extern char** environ;

namespace moshitong::testing {

struct Outcome {
    int status = -1;  // the exit status, or -1 when a signal ended the program
    std::string out;
    std::string err;
};

inline std::string readWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return std::move(text).str();
}

inline Outcome runProgram(const std::filesystem::path& program,
                          const std::vector<std::string>& args, const std::string& input = "") {
    const TempDir io;
    const auto in = io.path() / "in";
    const auto out = io.path() / "out";
    const auto err = io.path() / "err";
    std::ofstream(in, std::ios::binary) << input;

    struct Actions {
        Actions() { posix_spawn_file_actions_init(&value); }
        ~Actions() { posix_spawn_file_actions_destroy(&value); }
        posix_spawn_file_actions_t value;
    } actions;
    posix_spawn_file_actions_addopen(&actions.value, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions.value, 1, out.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions.value, 2, err.c_str(), O_WRONLY | O_CREAT, 0600);

    std::vector<std::string> argv = {program.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& arg : argv) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions.value, nullptr, pointers.data(), environ) !=
        0) {
        throw std::runtime_error("cannot start " + program.string());
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error("lost the child " + program.string());
        }
    }
    return Outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readWholeFile(out),
                   readWholeFile(err)};
}

}  // namespace moshitong::testing
