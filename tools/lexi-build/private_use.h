#pragma once
// Private-use code points that stand for standard characters. ECDICT's Chinese was typed in the
// GBK era, and GBK's converters gave some of its codes a private-use code point because Unicode
// had no character for them yet: ḿ was U+E7C7, the vertical comma U+E78D, the radical ⺁ U+E815.
// GB 18030 gives those codes standard characters, which every font draws. The rest of the
// private-use area is GBK's user-defined codes, which mean nothing standard: they stay.

#include <string>
#include <string_view>

namespace moshitong::builder {

// The UTF-8 text with every private-use code point that has a standard character replaced by it;
// every other byte is copied as it is.
std::string standardisePrivateUse(std::string_view text);

}  // namespace moshitong::builder
