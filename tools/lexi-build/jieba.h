#pragma once
// jieba's dictionary (dict.txt): one word a line with its count in jieba's corpus and a part of
// speech, "中国 129470 ns". The counts order the Chinese headwords so common words list first.

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

namespace moshitong::builder {

using WordCounts = std::unordered_map<std::string, long>;

// A line without a count, or with a count that is not a whole number, throws InputError naming
// `file` and the line. Empty lines are skipped; a word listed twice keeps its larger count.
WordCounts parseJieba(std::string_view text, const std::filesystem::path& file);

WordCounts readJieba(const std::filesystem::path& file);

}  // namespace moshitong::builder
