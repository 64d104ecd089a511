#pragma once
// A fault in one of the builder's inputs. The message names the file and the place inside it
// ("line 12", "\"all\"[17]") so whoever feeds the builder their own sources can go straight to
// the bad spot.

#include <filesystem>
#include <stdexcept>
#include <string>

namespace moshitong::builder {

class InputError : public std::runtime_error {
public:
    // `where` may be empty when the file as a whole is at fault (missing, unreadable).
    InputError(const std::filesystem::path& file, const std::string& where,
               const std::string& problem)
        : std::runtime_error(file.string() + (where.empty() ? "" : ": " + where) + ": " + problem) {
    }
};

inline std::string lineLabel(std::size_t line) {
    return "line " + std::to_string(line);
}

// Reads a whole source file. The sources are at most some tens of megabytes, and holding one at
// once lets the parsers work on string views.
std::string readWholeFile(const std::filesystem::path& file);

}  // namespace moshitong::builder
