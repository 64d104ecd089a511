#include "tests/support/run_program.h"

#include <string>

namespace moshitong::testing {

std::filesystem::path builtProgram(std::string_view name) {
    return std::filesystem::path(MOSHITONG_PROGRAM_DIR) /
           (std::string(name) + MOSHITONG_PROGRAM_SUFFIX);
}

}  // namespace moshitong::testing
