#include "tools/lexi-build/jieba.h"

#include <algorithm>
#include <charconv>

#include "tools/lexi-build/clean.h"
#include "tools/lexi-build/input_error.h"

namespace moshitong::builder {

namespace {

std::string_view nextToken(std::string_view line, std::size_t& pos) {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) {
        ++pos;
    }
    const std::size_t start = pos;
    while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t') {
        ++pos;
    }
    return line.substr(start, pos - start);
}

}  // namespace

WordCounts parseJieba(std::string_view text, const std::filesystem::path& file) {
    WordCounts counts;
    counts.reserve(text.size() / 16);
    std::size_t lineNumber = 0;
    for (std::string_view line : split(text, "\n")) {
        ++lineNumber;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        std::size_t pos = 0;
        const std::string_view word = nextToken(line, pos);
        if (word.empty()) {
            continue;
        }
        const std::string_view count = nextToken(line, pos);
        long value = 0;
        const auto [rest, error] =
            std::from_chars(count.data(), count.data() + count.size(), value);
        if (count.empty() || error != std::errc{} || rest != count.data() + count.size() ||
            value < 0) {
            throw InputError(file, lineLabel(lineNumber),
                             "expected a word and its count, found \"" + std::string(line) + "\"");
        }
        long& stored = counts[std::string(word)];
        stored = std::max(stored, value);
    }
    return counts;
}

WordCounts readJieba(const std::filesystem::path& file) {
    return parseJieba(readWholeFile(file), file);
}

}  // namespace moshitong::builder
