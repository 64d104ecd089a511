#pragma once
// The few UTF-8 operations the builder needs. The sources are UTF-8 and so is the store, so the
// builder never converts whole texts; it only walks them code point by code point where a rule
// depends on the character (phonetic symbols, ordering by length).

#include <cstddef>
#include <string>
#include <string_view>

namespace moshitong::builder {

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

// Decodes the code point that starts at `pos` and moves `pos` past it. A malformed sequence
// yields U+FFFD and advances one byte, so a walk over any bytes always ends.
char32_t decodeUtf8(std::string_view text, std::size_t& pos);

void appendUtf8(std::string& out, char32_t codePoint);

std::size_t countCodePoints(std::string_view text);

}  // namespace moshitong::builder
