#include <gtest/gtest.h>
#include <iconv.h>

#include <memory>

#include "core/gbk_table.h"

namespace moshitong {
namespace {

// Bytes the C library's CP936 converter needs for one code unit; 0 when it cannot encode it.
std::size_t cp936Length(iconv_t converter, char16_t unit) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char source[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    char target[8];
    char* in = source;
    char* out = target;
    std::size_t inLeft = sizeof source;
    std::size_t outLeft = sizeof target;
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
        inLeft != 0) {
        return 0;
    }
    return sizeof target - outLeft;
}

TEST(Gbk, TableAgreesWithTheSystemConverterForEveryBmpCodeUnit) {
    const iconv_t converter = iconv_open("CP936", "UTF-16LE");
    ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1)) << "no CP936 converter";
    const std::unique_ptr<void, int (*)(iconv_t)> closer(converter, iconv_close);
    std::size_t doubleByte = 0;
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        const auto unit = static_cast<char16_t>(u);
        const bool surrogate = u >= 0xD800 && u <= 0xDFFF;
        const bool expected = !surrogate && cp936Length(converter, unit) == 2;
        ASSERT_EQ(isDoubleByteInGbkTable(unit), expected)
            << std::hex << "U+" << static_cast<unsigned>(u);
        doubleByte += expected ? 1 : 0;
    }
    // GBK holds over twenty thousand double-byte characters; a nearly empty table is a fault too.
    EXPECT_GT(doubleByte, 20000u);
}

}  // namespace
}  // namespace moshitong
