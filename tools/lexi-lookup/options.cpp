#include "tools/lexi-lookup/options.h"

namespace moshitong::lexi_lookup {

namespace {

constexpr std::string_view kStoreOption = "--store";

struct Flag {
    std::string_view name;
    bool Options::*member;
};

constexpr Flag kFlags[] = {
    {"--fuzzy", &Options::fuzzy},
    {"--professional", &Options::professional},
    {"--direction", &Options::directionOnly},
    {"--json", &Options::json},
    {"--help", &Options::help},
    {"-h", &Options::help},
};

const Flag* findFlag(std::string_view arg) {
    for (const Flag& flag : kFlags) {
        if (arg == flag.name) {
            return &flag;
        }
    }
    return nullptr;
}

std::optional<UsageError> setStore(Options& options, std::string_view value) {
    if (options.store) {
        return UsageError{"--store given twice (second value \"" + std::string(value) + "\")"};
    }
    if (value.empty()) {
        return UsageError{"--store needs a non-empty path"};
    }
    // The arguments are UTF-8 on every system; a path made from a plain string would read them
    // in Windows' ANSI code page instead.
    options.store = std::filesystem::path(std::u8string(value.begin(), value.end()));
    return std::nullopt;
}

}  // namespace

ParseResult parseArguments(std::span<const std::string_view> args) {
    Options options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        // A lone "-" is a query like any other word; only longer dash words are options.
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.queries.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == kStoreOption) {
            if (i + 1 == args.size()) {
                return UsageError{"--store needs a path"};
            }
            if (auto error = setStore(options, args[++i])) {
                return *error;
            }
            continue;
        }
        if (arg.starts_with(std::string(kStoreOption) + "=")) {
            if (auto error = setStore(options, arg.substr(kStoreOption.size() + 1))) {
                return *error;
            }
            continue;
        }
        const Flag* flag = findFlag(arg);
        if (flag == nullptr) {
            return UsageError{"unknown option \"" + std::string(arg) + "\""};
        }
        options.*flag->member = true;
    }
    return options;
}

std::string_view usageText() {
    return "usage: lexi-lookup [--store PATH] [--fuzzy] [--professional] [--direction] [--json]\n"
           "                   [--] [QUERY...]\n"
           "\n"
           "Looks each QUERY up as the dictionary window would: translate, lookup, clear.\n"
           "Without QUERY, reads one query per line from standard input (UTF-8).\n"
           "\n"
           "  --store PATH    the dictionary file (default: lexi beside this program, else\n"
           "                  ../share/moshitong/lexi from its folder)\n"
           "  --fuzzy         substring matching (\"模糊查询\") instead of exact\n"
           "  --professional  the professional lookup (\"专业查询\") instead of the concise one\n"
           "  --direction     only print the decided language: 1 Chinese, 2 English, 0 none\n"
           "  --json          one JSON object per query per line\n"
           "  --              the arguments that follow are queries\n"
           "\n"
           "Exit status: 0 when some query listed entries (with --direction: was decided),\n"
           "1 when none did, 2 for a usage error or a dictionary that cannot be opened.\n";
}

}  // namespace moshitong::lexi_lookup
