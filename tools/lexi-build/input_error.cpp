#include "tools/lexi-build/input_error.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace moshitong::builder {

std::string readWholeFile(const std::filesystem::path& file) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (!std::filesystem::exists(status)) {
        throw InputError(file, "", "no such file");
    }
    if (!std::filesystem::is_regular_file(status)) {
        throw InputError(file, "", "not a regular file");
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw InputError(file, "", std::string("cannot open: ") + std::strerror(errno));
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        throw InputError(file, "", "read error");
    }
    return std::move(content).str();
}

}  // namespace moshitong::builder
