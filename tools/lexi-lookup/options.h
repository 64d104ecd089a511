#pragma once
// The command line of lexi-lookup, parsed by a pure function so it can be tested with made-up
// argument lists.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace moshitong::lexi_lookup {

// Exit statuses, also listed in the usage text.
inline constexpr int kExitFound = 0;    // some query listed entries (or, with --direction,
                                        // some query was decided)
inline constexpr int kExitNothing = 1;  // no query did
inline constexpr int kExitUsage = 2;    // bad arguments, or the store cannot be opened

struct Options {
    std::optional<std::filesystem::path> store;  // unset: the dictionary beside the program
    bool fuzzy = false;
    bool professional = false;
    bool directionOnly = false;
    bool json = false;
    bool help = false;
    // Raw bytes as given; empty means the queries come from standard input, one per line.
    std::vector<std::string> queries;
};

struct UsageError {
    std::string message;
};

using ParseResult = std::variant<Options, UsageError>;

// `args` excludes the program name.
ParseResult parseArguments(std::span<const std::string_view> args);

std::string_view usageText();

}  // namespace moshitong::lexi_lookup
