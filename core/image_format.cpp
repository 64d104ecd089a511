#include "core/image_format.h"

#include <array>
#include <bit>
#include <cstring>

#include "core/like.h"

namespace moshitong {

namespace {

constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15;

std::uint64_t littleEndianWord(const char* bytes) noexcept {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::big) {
        word = __builtin_bswap64(word);
    }
    return word;
}

// A bijection of `lane` for any `word`, and of `word` for any `lane`: a change in either always
// changes the result.
std::uint64_t mix(std::uint64_t lane, std::uint64_t word) noexcept {
    lane = (lane ^ word) * kMultiplier;
    return lane ^ (lane >> 32);
}

}  // namespace

std::u32string likeCharacters(std::string_view value) {
    std::u32string characters;
    characters.reserve(value.size());
    for (std::size_t at = 0; at < value.size();) {
        const char32_t c = readLikeCharacter(value, at);
        characters += c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
    }
    return characters;
}

std::uint16_t imageSlot(char32_t character, int width) noexcept {
    if (width == 1) {
        if (character == 0) {
            return 0x80;
        }
        return static_cast<std::uint16_t>(character < 0x80 ? character : 0x80 | (character & 0x7F));
    }
    // LIKE decodes U+FFFE and U+FFFF as U+FFFD and never yields a surrogate, so those slots are
    // free for NUL and for the characters beyond the BMP.
    if (character == 0) {
        return 0xFFFF;
    }
    return static_cast<std::uint16_t>(character <= 0xFFFF ? character
                                                          : 0xD800 | (character & 0x7FF));
}

bool hasOwnSlot(char32_t character, int width) noexcept {
    return width == 1 ? character != 0 && character < 0x80 : character <= 0xFFFF;
}

std::int64_t imageChecksum(std::int64_t first, std::int64_t rows, int width,
                           std::string_view slots) noexcept {
    // Four independent lanes keep the multiplier busy: checking a whole image costs a few
    // milliseconds at most.
    std::array<std::uint64_t, 4> lanes{static_cast<std::uint64_t>(first),
                                       static_cast<std::uint64_t>(rows),
                                       static_cast<std::uint64_t>(width), slots.size()};
    constexpr std::size_t kWord = sizeof(std::uint64_t);
    std::size_t at = 0;
    for (; at + lanes.size() * kWord <= slots.size(); at += lanes.size() * kWord) {
        for (std::size_t k = 0; k < lanes.size(); ++k) {
            lanes[k] = mix(lanes[k], littleEndianWord(slots.data() + at + k * kWord));
        }
    }
    for (; at < slots.size(); ++at) {
        lanes[0] = mix(lanes[0], static_cast<unsigned char>(slots[at]));
    }
    std::uint64_t sum = 0;
    for (const std::uint64_t lane : lanes) {
        sum = mix(sum, lane);
    }
    return static_cast<std::int64_t>(sum);
}

}  // namespace moshitong
