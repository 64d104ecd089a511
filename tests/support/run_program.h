#pragma once
// Runs a built program as a user would: arguments, bytes on standard input, and what it writes
// to standard output and standard error.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace moshitong::testing {

struct ProcessResult {
    int exitCode = -1;   // the exit status; -1 when a signal ended the program
    int signal = 0;      // the signal that ended the program; 0 when it exited
    std::string output;  // what it wrote to standard output
    std::string errors;  // what it wrote to standard error
};

// Runs `program` and waits for it. `environment` entries ("NAME=value") replace or add to the
// test's own environment.
ProcessResult runProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         std::string_view input = {},
                         const std::vector<std::string>& environment = {});

// How many bytes of arguments one command line carries: Windows stops at 32,767 UTF-16 units
// for the whole line, Linux goes far beyond what any test passes.
std::size_t longestCommandLine();

// A program of this build ("lexi-build", "lexi-lookup") where the build puts it.
std::filesystem::path builtProgram(std::string_view name);

}  // namespace moshitong::testing
