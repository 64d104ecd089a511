#pragma once
// Which builds are still running: each names its temporary store after its process. One file per
// system (process_linux.cpp, process_windows.cpp).

#include <cstdint>

namespace moshitong::builder {

std::uint32_t currentProcessId();

// True only when the system says for certain that no process with this id is running.
bool processIsGone(std::uint32_t id);

}  // namespace moshitong::builder
