#pragma once
// What the lookups and the command-line tool need from the operating system. Each system has its
// own file (platform_linux.cpp, platform_windows.cpp); nothing else in core or the tools asks.

#include <filesystem>
#include <string>
#include <vector>

namespace moshitong {

// The folder that holds the running program, wherever the user unpacked or installed it;
// the current folder when the system cannot say.
std::filesystem::path programFolder();

// True when the system's Simplified Chinese code page (936, GBK) encodes this UTF-16 code unit in
// two bytes. Lone surrogates and anything the code page cannot encode are false.
bool isDoubleByteInGbk(char16_t unit) noexcept;

// The command line's arguments after the program's name, in UTF-8 whatever the system's own
// encoding of them is.
std::vector<std::string> programArguments(int argc, char** argv);

// Standard input and output carry bytes exactly as written: no line-end translation.
void useBinaryStandardStreams();

}  // namespace moshitong
