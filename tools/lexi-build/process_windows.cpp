#include <windows.h>

#include <memory>
#include <type_traits>

#include "tools/lexi-build/process.h"

namespace moshitong::builder {

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
using ProcessHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

}  // namespace

std::uint32_t currentProcessId() {
    return GetCurrentProcessId();
}

bool processIsGone(std::uint32_t id) {
    if (id == 0) {
        return false;
    }
    // A process that exists but may not be opened is still running; only "no such process"
    // (ERROR_INVALID_PARAMETER) or a process that has exited count as gone.
    const ProcessHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process) {
        return GetLastError() == ERROR_INVALID_PARAMETER;
    }
    DWORD code = 0;
    return GetExitCodeProcess(process.get(), &code) && code != STILL_ACTIVE;
}

}  // namespace moshitong::builder
