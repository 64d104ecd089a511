#include "core/slot_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/like.h"
#include "core/text.h"

namespace moshitong {
namespace {

// Each scan is built for several instruction sets and two slot widths; every one must find what
// the store's LIKE finds. The alphabet's characters are their own slots. The two-byte alphabet
// has slots whose low byte is zero or equal to another's, which a comparison of single bytes
// would confuse with a value's end or with each other.
struct ScanCase {
    const char* name;
    SlotInstructions instructions;
    bool wide;
};

constexpr ScanCase kScanCases[] = {
    {"WidestOneByte", SlotInstructions::Widest, false},
    {"WidestTwoBytes", SlotInstructions::Widest, true},
    {"Avx512OneByte", SlotInstructions::Avx512, false},
    {"Avx512TwoBytes", SlotInstructions::Avx512, true},
    {"Avx2OneByte", SlotInstructions::Avx2, false},
    {"Avx2TwoBytes", SlotInstructions::Avx2, true},
    {"Sse2OneByte", SlotInstructions::Sse2, false},
    {"Sse2TwoBytes", SlotInstructions::Sse2, true},
    {"PortableOneByte", SlotInstructions::Portable, false},
    {"PortableTwoBytes", SlotInstructions::Portable, true},
};

// The filter keeps its state in 64-slot blocks and 4,096-slot windows. Values of a few characters
// from a small alphabet, with some as long as a block, a window and more, make pieces and their
// fills run across both boundaries, and make most patterns match somewhere.
std::vector<std::u32string> randomValues(std::mt19937& random, std::u32string_view alphabet) {
    std::vector<std::u32string> values;
    for (int i = 0; i < 1500; ++i) {
        std::size_t length = random() % 24;
        if (i % 40 == 3) {
            length = 60 + random() % 140;
        } else if (i % 500 == 7) {
            length = 4000 + random() % 3000;
        }
        std::u32string& value = values.emplace_back();
        for (std::size_t k = 0; k < length; ++k) {
            value += alphabet[random() % alphabet.size()];
        }
    }
    return values;
}

// Texts of up to 20 pieces between `%`s, some longer than the filter looks at, `_` everywhere.
std::vector<std::u32string> randomTexts(std::mt19937& random, std::u32string_view alphabet) {
    std::vector<std::u32string> texts;
    for (int i = 0; i < 300; ++i) {
        std::u32string text;
        const std::size_t pieces = 1 + random() % (i % 5 == 0 ? 20 : 4);
        for (std::size_t p = 0; p < pieces; ++p) {
            text += U'%';
            const std::size_t length = 1 + random() % (i % 7 == 0 ? 80 : 5);
            for (std::size_t k = 0; k < length; ++k) {
                text += random() % 4 == 0 ? U'_' : alphabet[random() % alphabet.size()];
            }
        }
        texts.push_back(text + U'%');
    }
    return texts;
}

SlotPieces piecesOf(std::u32string_view pattern) {
    SlotPieces pieces(1);
    for (const char32_t c : pattern) {
        if (c != U'%') {
            pieces.back().push_back(c == U'_' ? kAnySlot : c);
        } else if (!pieces.back().empty()) {
            pieces.emplace_back();
        }
    }
    if (pieces.back().empty()) {
        pieces.pop_back();
    }
    return pieces;
}

// An image of `values`: each value's slots and a zero, then the padding a scan may read.
template <typename Slot>
std::vector<Slot> imageOf(const std::vector<std::u32string>& values, std::size_t& size) {
    std::vector<Slot> slots;
    for (const std::u32string& value : values) {
        slots.insert(slots.end(), value.begin(), value.end());
        slots.push_back(0);
    }
    size = slots.size();
    slots.resize(size + kSlotPadding);
    return slots;
}

template <typename Slot>
void expectWhatLikeFinds(SlotInstructions instructions, std::u32string_view alphabet) {
    std::mt19937 random(4096);
    const std::vector<std::u32string> values = randomValues(random, alphabet);
    std::size_t size = 0;
    const std::vector<Slot> slots = imageOf<Slot>(values, size);
    int matched = 0;
    for (const std::u32string& text : randomTexts(random, alphabet)) {
        const LikePattern like(toUtf8(text));
        std::vector<std::size_t> expected;
        for (std::size_t row = 0; row < values.size(); ++row) {
            if (like.matches(toUtf8(values[row]))) {
                expected.push_back(row);
            }
        }
        std::vector<std::size_t> found;
        SlotScanner<Slot> scanner(piecesOf(text), instructions);
        scanner.scan(slots.data(), size, [&](std::size_t row, std::size_t begin, std::size_t end) {
            found.push_back(row);
            // The value's slots as reported: they start after the previous value's end.
            EXPECT_EQ(end - begin, values[row].size()) << toUtf8(text);
            return true;
        });
        ASSERT_EQ(found, expected) << toUtf8(text);
        matched += expected.empty() ? 0 : 1;
    }
    // The comparison means little unless many texts match somewhere.
    EXPECT_GT(matched, 100);
}

class SlotScan : public ::testing::TestWithParam<ScanCase> {
protected:
    void SetUp() override {
        if (!processorHas(GetParam().instructions)) {
            GTEST_SKIP() << "this processor lacks the instructions of " << GetParam().name;
        }
    }
};

TEST_P(SlotScan, FindsWhatLikeFinds) {
    if (GetParam().wide) {
        expectWhatLikeFinds<std::uint16_t>(GetParam().instructions, U"a\u4E00\u6100\u0161");
    } else {
        expectWhatLikeFinds<std::uint8_t>(GetParam().instructions, U"abc");
    }
}

TEST_P(SlotScan, StopsWhenTold) {
    const auto firstTwo = [&]<typename Slot>(Slot) {
        std::size_t size = 0;
        const auto slots = imageOf<Slot>({U"a", U"aa", U"b", U"a"}, size);
        SlotScanner<Slot> scanner({{U'a'}}, GetParam().instructions);
        std::vector<std::size_t> found;
        const bool finished = scanner.scan(slots.data(), size, [&](std::size_t row, auto, auto) {
            found.push_back(row);
            return found.size() < 2;
        });
        EXPECT_FALSE(finished);
        return found;
    };
    const auto found = GetParam().wide ? firstTwo(std::uint16_t{}) : firstTwo(std::uint8_t{});
    EXPECT_EQ(found, (std::vector<std::size_t>{0, 1}));
}

INSTANTIATE_TEST_SUITE_P(EveryInstructionSet, SlotScan, ::testing::ValuesIn(kScanCases),
                         [](const ::testing::TestParamInfo<ScanCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace moshitong
