#include "core/platform.h"

#include "core/gbk_table.h"

#include <malloc.h>

#include <system_error>

namespace moshitong {

std::filesystem::path programFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::filesystem::current_path();
    }
    return exe.parent_path();
}

bool isDoubleByteInGbk(char16_t unit) noexcept {
    return isDoubleByteInGbkTable(unit);
}

std::vector<std::string> programArguments(int argc, char** argv) {
    // The terminal hands over bytes; a UTF-8 locale is the only one this system is set up for.
    return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

void returnFreeMemory() noexcept {
    // glibc keeps freed pages inside its arenas until the top of one is free, which the column
    // images' buffers, allocated after the pages they were read through, never let happen.
    malloc_trim(0);
}

void useBinaryStandardStreams() {
}

// A terminal here takes UTF-8 as it is: there is nothing to convert.
struct ConsoleText::Streams {};

ConsoleText::ConsoleText() = default;
ConsoleText::~ConsoleText() = default;

}  // namespace moshitong
