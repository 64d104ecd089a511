#pragma once
// Text helpers shared by the lookups and the tools. Text is UTF-16, as in the input box.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace moshitong {

inline constexpr std::u16string_view kCrLf = u"\r\n";

std::u16string removeAll(std::u16string_view text, char16_t unit);
// Replaces every carriage return + line feed pair; a CR or LF standing alone stays.
std::u16string replaceCrLfPairs(std::u16string_view text, std::u16string_view replacement);
inline std::u16string removeCrLfPairs(std::u16string_view text) {
    return replaceCrLfPairs(text, u"");
}
// Removes U+0020 at both ends only.
std::u16string trimSpaces(std::u16string_view text);
// Removes U+0020 and the ideographic space U+3000 at both ends.
std::u16string trimQuerySpaces(std::u16string_view text);

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

constexpr bool isSurrogate(char32_t unit) noexcept {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// Decodes the code point that starts at `at`: a surrogate pair or a single unit. A lone surrogate
// gives nullopt and moves one unit on.
std::optional<char32_t> decodeUtf16(std::u16string_view text, std::size_t& at) noexcept;
void appendUtf16(std::u16string& out, char32_t codePoint);

// Decodes the code point that starts at `at`: strict UTF-8 (shortest form, no surrogates, nothing
// past U+10FFFF). A malformed sequence gives nullopt and moves one byte on, so a walk over any
// bytes ends and can replace each bad byte on its own.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& at) noexcept;
// Appends a code point as UTF-8; a surrogate or a value past U+10FFFF becomes U+FFFD.
void appendUtf8(std::string& out, char32_t codePoint);

// Code points in UTF-8 text, each malformed byte counted as one.
std::size_t countCodePoints(std::string_view text);

// UTF-8 <-> UTF-16. Invalid input (bad UTF-8 bytes, lone surrogates) becomes U+FFFD.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);
// Code points as UTF-8, each surrogate or value past U+10FFFF as U+FFFD.
std::string toUtf8(std::u32string_view text);

}  // namespace moshitong
