#include "core/platform.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <memory>

namespace moshitong {

namespace {

std::string toUtf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.pop_back();  // the terminating zero
    return out;
}

struct LocalFreeDeleter {
    void operator()(wchar_t** p) const noexcept { LocalFree(p); }
};

}  // namespace

std::filesystem::path programFolder() {
    // The long form of the path as UTF-16, so that a folder named in any script is found.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (size == 0) {
            return std::filesystem::current_path();
        }
        if (size < buffer.size()) {
            buffer.resize(size);
            return std::filesystem::path(buffer).parent_path();
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool isDoubleByteInGbk(char16_t unit) noexcept {
    // The system's own conversion with its default flags, as any ANSI program of this system
    // would convert the text: what it cannot encode becomes a one-byte '?'.
    const wchar_t wide = static_cast<wchar_t>(unit);
    char bytes[4];
    return WideCharToMultiByte(936, 0, &wide, 1, bytes, sizeof bytes, nullptr, nullptr) == 2;
}

std::vector<std::string> programArguments(int /*argc*/, char** /*argv*/) {
    // argv is in the ANSI code page and loses whatever that cannot spell; the wide command line
    // keeps every character.
    int count = 0;
    const std::unique_ptr<wchar_t*, LocalFreeDeleter> wide(
        CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i) {
        args.push_back(toUtf8(wide.get()[i]));
    }
    return args;
}

void useBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace moshitong
