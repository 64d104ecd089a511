#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "tools/lexi-build/process.h"

namespace moshitong::builder {

std::uint32_t currentProcessId() {
    return static_cast<std::uint32_t>(::getpid());
}

bool processIsGone(std::uint32_t id) {
    // kill with signal 0 only asks whether the process exists; EPERM means it does.
    const auto pid = static_cast<pid_t>(id);
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

}  // namespace moshitong::builder
