#include <gtest/gtest.h>

#include "core/platform.h"

namespace moshitong {
namespace {

// The system's answer: the compiled-in table on Linux, the system's own converter on Windows.
TEST(Gbk, KnownClassifications) {
    EXPECT_TRUE(isDoubleByteInGbk(u'中'));
    EXPECT_TRUE(isDoubleByteInGbk(u'，'));      // full-width comma
    EXPECT_TRUE(isDoubleByteInGbk(u'ａ'));      // full-width letter
    EXPECT_TRUE(isDoubleByteInGbk(u'\u3000'));  // ideographic space
    EXPECT_FALSE(isDoubleByteInGbk(u'a'));
    EXPECT_FALSE(isDoubleByteInGbk(u' '));
    EXPECT_FALSE(isDoubleByteInGbk(u'\u20AC'));  // the euro sign is one byte in CP936
    EXPECT_FALSE(isDoubleByteInGbk(char16_t{0xD83C}));
}

}  // namespace
}  // namespace moshitong
