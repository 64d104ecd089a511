#pragma once
// Text helpers shared by the lookups and the tools. Text is UTF-16, as in the input box.

#include <string>
#include <string_view>

namespace moshitong {

inline constexpr std::u16string_view kCrLf = u"\r\n";

std::u16string removeAll(std::u16string_view text, char16_t unit);
// Removes every carriage return + line feed pair; a CR or LF standing alone stays.
std::u16string removeCrLfPairs(std::u16string_view text);
// Removes U+0020 at both ends only.
std::u16string trimSpaces(std::u16string_view text);
// Removes U+0020 and the ideographic space U+3000 at both ends.
std::u16string trimQuerySpaces(std::u16string_view text);

// True when code page 936 (GBK) encodes this UTF-16 code unit in two bytes. Lone surrogates and
// anything GBK cannot encode are false.
bool isDoubleByteInGbk(char16_t unit) noexcept;

// UTF-8 <-> UTF-16. Invalid input (bad UTF-8 bytes, lone surrogates) becomes U+FFFD.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);

}  // namespace moshitong
