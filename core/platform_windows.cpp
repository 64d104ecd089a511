#include "core/platform.h"

#include <fcntl.h>
#include <io.h>
#include <malloc.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <array>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <streambuf>
#include <string_view>

#include "core/text.h"

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

// The length of the part of `bytes` that ends on a character boundary: a UTF-8 sequence cut off
// at the end waits for the rest of it. Anything else, malformed bytes included, is complete.
std::size_t completeUtf8Length(std::string_view bytes) {
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80) {
            continue;  // a continuation byte: the sequence starts further back
        }
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

// Standard output or error on a console. A console shows bytes in its own code page (936 on a
// Chinese system), so UTF-8 would come out as other characters; the text goes to it as UTF-16
// instead, which every console shows as written.
class ConsoleBuffer final : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) { resetPut(); }
    ConsoleBuffer(const ConsoleBuffer&) = delete;
    ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;

    // Writes out what is left, a sequence cut off at the very end as U+FFFD.
    void finish() {
        sync();
        write(fromUtf8(pending_));
        pending_.clear();
    }

protected:
    int_type overflow(int_type ch) override {
        if (sync() != 0) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(ch);
            pbump(1);
        }
        return traits_type::not_eof(ch);
    }

    int sync() override {
        pending_.append(pbase(), pptr());
        resetPut();
        const std::size_t complete = completeUtf8Length(pending_);
        const bool written = write(fromUtf8(std::string_view(pending_).substr(0, complete)));
        pending_.erase(0, complete);
        return written ? 0 : -1;
    }

private:
    void resetPut() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }

    bool write(std::u16string_view text) const {
        // In pieces: older consoles refuse a single write much larger than this.
        constexpr std::size_t kPiece = 8192;
        while (!text.empty()) {
            const std::u16string_view piece = text.substr(0, kPiece);
            DWORD written = 0;
            if (!WriteConsoleW(console_, piece.data(), static_cast<DWORD>(piece.size()), &written,
                               nullptr) ||
                written == 0) {
                return false;
            }
            text.remove_prefix(written);
        }
        return true;
    }

    HANDLE console_;
    std::array<char, 4096> buffer_{};
    std::string pending_;
};

// A console answers GetConsoleMode; a file, a pipe or the null device does not.
std::optional<HANDLE> consoleOf(DWORD standardHandle) {
    const HANDLE handle = GetStdHandle(standardHandle);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !GetConsoleMode(handle, &mode)) {
        return std::nullopt;
    }
    return handle;
}

// One stream sent through a ConsoleBuffer until the redirection ends.
class ConsoleRedirect {
public:
    ConsoleRedirect(std::ostream& stream, HANDLE console)
        : stream_(stream), buffer_(console), previous_(stream.rdbuf()) {
        stream_.flush();
        stream_.rdbuf(&buffer_);
    }
    ~ConsoleRedirect() {
        stream_.flush();
        buffer_.finish();
        stream_.rdbuf(previous_);
    }
    ConsoleRedirect(const ConsoleRedirect&) = delete;
    ConsoleRedirect& operator=(const ConsoleRedirect&) = delete;

private:
    std::ostream& stream_;
    ConsoleBuffer buffer_;
    std::streambuf* previous_;
};

}  // namespace

// Standard error is redirected last, and so is given back first.
struct ConsoleText::Streams {
    std::optional<ConsoleRedirect> out;
    std::optional<ConsoleRedirect> err;
};

ConsoleText::ConsoleText() : streams_(std::make_unique<Streams>()) {
    if (const auto console = consoleOf(STD_OUTPUT_HANDLE)) {
        streams_->out.emplace(std::cout, *console);
    }
    if (const auto console = consoleOf(STD_ERROR_HANDLE)) {
        streams_->err.emplace(std::cerr, *console);
    }
}

ConsoleText::~ConsoleText() = default;

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

void returnFreeMemory() noexcept {
    // The C runtime's heap gives back what it can of its free blocks.
    _heapmin();
}

void useBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace moshitong
