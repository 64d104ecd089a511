// lexi-build: makes the dictionary store `lexi` from ECDICT, CC-CEDICT and jieba's word counts.

#include <exception>
#include <iostream>
#include <string_view>
#include <variant>
#include <vector>

#include "tools/lexi-build/args.h"
#include "tools/lexi-build/build.h"

namespace {

int run(const moshitong::builder::Options& options) {
    try {
        moshitong::builder::buildStore(options, std::cerr);
        return moshitong::builder::kExitSuccess;
    } catch (const std::exception& error) {
        std::cerr << "lexi-build: " << error.what() << '\n';
        return moshitong::builder::kExitBuildFailed;
    }
}

}  // namespace

int main(int argc, char** argv) {
    namespace builder = moshitong::builder;
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const builder::ParsedArguments parsed = builder::parseArguments(args);
    if (std::holds_alternative<builder::HelpRequest>(parsed)) {
        std::cout << builder::usageText();
        return builder::kExitSuccess;
    }
    if (const auto* error = std::get_if<builder::UsageError>(&parsed)) {
        std::cerr << "lexi-build: " << error->message << '\n';
        return builder::kExitUsage;
    }
    return run(std::get<builder::Options>(parsed));
}
