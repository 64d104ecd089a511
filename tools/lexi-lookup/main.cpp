// lexi-lookup: the dictionary's lookups at a terminal. See usageText() for the command line and
// the exit statuses.

#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/platform.h"
#include "tools/lexi-lookup/app.h"
#include "tools/lexi-lookup/options.h"

int main(int argc, char** argv) {
    namespace tool = moshitong::lexi_lookup;
    moshitong::useBinaryStandardStreams();
    // Before anything is written, and alive until the last of it is.
    const moshitong::ConsoleText consoleText;
    const std::vector<std::string> arguments = moshitong::programArguments(argc, argv);
    const std::vector<std::string_view> args(arguments.begin(), arguments.end());
    const tool::ParseResult parsed = tool::parseArguments(args);
    if (const auto* error = std::get_if<tool::UsageError>(&parsed)) {
        std::cerr << "lexi-lookup: " << error->message << "\n" << tool::usageText();
        return tool::kExitUsage;
    }
    try {
        return tool::run(std::get<tool::Options>(parsed), std::cin, std::cout, std::cerr);
    } catch (const std::exception& error) {
        // Anything the lookups do not handle themselves ends the run with a message, not a
        // bare abort.
        std::cerr << "lexi-lookup: " << error.what() << "\n";
        return tool::kExitUsage;
    }
}
