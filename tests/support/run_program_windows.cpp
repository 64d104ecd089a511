#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "tests/support/run_program.h"
#include "tests/support/temp_store.h"

namespace moshitong::testing {

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct EnvironmentFreer {
    void operator()(wchar_t* block) const noexcept { FreeEnvironmentStringsW(block); }
};

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": Windows error " + std::to_string(GetLastError()));
}

std::wstring wide(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

// One argument as the C runtime's command-line parser reads it back: quoted, with the
// backslashes before a quote (and before the closing quote) doubled.
void appendQuoted(std::wstring& line, const std::wstring& arg) {
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

std::wstring nameOf(std::wstring_view entry) {
    // Names compare without case on Windows; "=C:" style entries keep their leading '='.
    std::wstring name(entry.substr(0, entry.find(L'=', 1)));
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

// The test's own environment with `changes` ("NAME=value") replacing or added, as the block
// CreateProcessW takes: entries ending in a zero, the block in another.
std::wstring environmentWith(const std::vector<std::string>& changes) {
    std::vector<std::wstring> added;
    for (const std::string& change : changes) {
        added.push_back(wide(change));
    }
    std::wstring block;
    const std::unique_ptr<wchar_t, EnvironmentFreer> current(GetEnvironmentStringsW());
    for (const wchar_t* entry = current.get(); entry && *entry; entry += wcslen(entry) + 1) {
        const std::wstring name = nameOf(entry);
        bool replaced = false;
        for (const std::wstring& change : added) {
            replaced = replaced || nameOf(change) == name;
        }
        if (!replaced) {
            block.append(entry).push_back(L'\0');
        }
    }
    for (const std::wstring& change : added) {
        block.append(change).push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

Handle openInherited(const std::filesystem::path& file, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle handle(CreateFileW(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        handle.release();
        fail("cannot open " + file.string());
    }
    return handle;
}

}  // namespace

ProcessResult runProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         std::string_view input, const std::vector<std::string>& environment) {
    const TempDir io;
    writeFile(io.path() / "in", input);
    ProcessResult result;
    {
        const Handle in = openInherited(io.path() / "in", GENERIC_READ, OPEN_EXISTING);
        const Handle out = openInherited(io.path() / "out", GENERIC_WRITE, CREATE_ALWAYS);
        const Handle err = openInherited(io.path() / "err", GENERIC_WRITE, CREATE_ALWAYS);

        std::wstring line;
        appendQuoted(line, program.wstring());
        for (const std::string& arg : args) {
            line += L' ';
            appendQuoted(line, wide(arg));
        }
        if (line.size() >= longestCommandLine()) {
            throw std::runtime_error("the command line for " + program.string() + " is " +
                                     std::to_string(line.size()) +
                                     " units long, more than Windows takes");
        }
        std::wstring env = environmentWith(environment);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.get();
        startup.hStdOutput = out.get();
        startup.hStdError = err.get();
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                            CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, env.data(), nullptr,
                            &startup, &started)) {
            fail("cannot start " + program.string());
        }
        const Handle process(started.hProcess);
        const Handle thread(started.hThread);
        WaitForSingleObject(process.get(), INFINITE);
        DWORD code = 0;
        if (!GetExitCodeProcess(process.get(), &code)) {
            fail("no exit status from " + program.string());
        }
        // An unhandled exception ends a program with its NTSTATUS (0xC0000005 and the like): the
        // counterpart of a signal, so a crash never passes as an exit status.
        if (code >= 0xC0000000u) {
            result.signal = static_cast<int>(code & 0x7FFFFFFF);
        } else {
            result.exitCode = static_cast<int>(code);
        }
    }
    result.output = readFile(io.path() / "out");
    result.errors = readFile(io.path() / "err");
    return result;
}

std::size_t longestCommandLine() {
    return 32767;
}

}  // namespace moshitong::testing
