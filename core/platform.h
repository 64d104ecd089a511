#pragma once
// What the lookups and the command-line tool need from the operating system. Each system has its
// own file (platform_linux.cpp, platform_windows.cpp); nothing else in core or the tools asks.

#include <filesystem>
#include <memory>
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

// Gives the heap's free memory back to the system where the allocator keeps it, after a burst of
// work whose buffers are gone and will not come back.
void returnFreeMemory() noexcept;

// Standard input and output carry bytes exactly as written: no line-end translation.
void useBinaryStandardStreams();

// While one lives, std::cout and std::cerr show what is written to them (UTF-8) as text when they
// are a console window, whatever code page the console is set to; a file or a pipe keeps getting
// the UTF-8 bytes exactly as written. One at a time, around the program's whole run.
class ConsoleText {
public:
    ConsoleText();
    ~ConsoleText();
    ConsoleText(const ConsoleText&) = delete;
    ConsoleText& operator=(const ConsoleText&) = delete;

private:
    struct Streams;
    std::unique_ptr<Streams> streams_;
};

}  // namespace moshitong
