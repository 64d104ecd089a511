// Compares, for every UTF-16 code unit, the system's own code page 936 (what the Windows program
// asks) with the table compiled in from the C library's CP936 (what the Linux program asks), and
// prints where they differ, by block. A report for whoever ports the language decision, not a
// test: the two converters are allowed to differ, and the note says where they do.

#include <cstdio>
#include <string>
#include <vector>

#include "core/gbk_table.h"
#include "core/platform.h"

namespace {

struct Block {
    char32_t first;
    char32_t last;
    const char* name;
};

// The blocks where the two converters are known to part; anything else falls under "other".
constexpr Block kBlocks[] = {
    {0x0080, 0x00FF, "Latin-1 Supplement"},
    {0x2000, 0x206F, "General Punctuation"},
    {0x20A0, 0x20CF, "Currency Symbols"},
    {0x2E80, 0x2FDF, "CJK and Kangxi Radicals"},
    {0x3000, 0x303F, "CJK Symbols and Punctuation"},
    {0x3400, 0x4DBF, "CJK Extension A"},
    {0x4E00, 0x9FFF, "CJK Unified Ideographs"},
    {0xE000, 0xF8FF, "Private Use Area"},
    {0xF900, 0xFAFF, "CJK Compatibility Ideographs"},
    {0xFE10, 0xFE1F, "Vertical Forms"},
    {0xFE30, 0xFE4F, "CJK Compatibility Forms"},
    {0xFF00, 0xFFEF, "Halfwidth and Fullwidth Forms"},
};

const char* blockOf(char32_t unit) {
    for (const Block& block : kBlocks) {
        if (unit >= block.first && unit <= block.last) {
            return block.name;
        }
    }
    return "other";
}

struct Difference {
    std::string block;
    char32_t first = 0;
    char32_t last = 0;
    bool systemSaysDouble = false;
};

}  // namespace

int main() {
    std::vector<Difference> runs;
    std::size_t systemDouble = 0;
    std::size_t tableDouble = 0;
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        const auto unit = static_cast<char16_t>(u);
        const bool system = moshitong::isDoubleByteInGbk(unit);
        const bool table = moshitong::isDoubleByteInGbkTable(unit);
        systemDouble += system ? 1 : 0;
        tableDouble += table ? 1 : 0;
        if (system == table) {
            continue;
        }
        if (!runs.empty() && runs.back().last + 1 == u && runs.back().systemSaysDouble == system &&
            runs.back().block == blockOf(u)) {
            runs.back().last = u;
        } else {
            runs.push_back({blockOf(u), u, u, system});
        }
    }
    std::printf(
        "code units encoded in two bytes: system code page 936 %zu, compiled-in CP936 %zu\n",
        systemDouble, tableDouble);
    std::size_t differing = 0;
    for (const Difference& run : runs) {
        differing += run.last - run.first + 1;
    }
    std::printf("code units on which they differ: %zu\n", differing);
    for (const Difference& run : runs) {
        std::printf("  U+%04X..U+%04X %6u  %-31s two bytes only in the %s\n",
                    static_cast<unsigned>(run.first), static_cast<unsigned>(run.last),
                    static_cast<unsigned>(run.last - run.first + 1), run.block.c_str(),
                    run.systemSaysDouble ? "system's" : "table");
    }
    return 0;
}
