#pragma once
// The C library's code page 936 (CP936, GBK) as a table compiled into the program: which UTF-16
// code units it encodes in two bytes. Linux answers the language question from it; on Windows it
// is kept to compare with the system's own conversion.

namespace moshitong {

// True when CP936 encodes this UTF-16 code unit in two bytes. Lone surrogates and anything CP936
// cannot encode are false.
bool isDoubleByteInGbkTable(char16_t unit) noexcept;

}  // namespace moshitong
