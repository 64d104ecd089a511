#include "core/slot_scan.h"

#include <algorithm>
#include <bit>
#include <string_view>
#include <type_traits>
#include <utility>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace moshitong {

namespace {

constexpr std::size_t kBlock = 64;

// Bit t is set when slots[t] equals `value`, for the 64 slots from `slots`: one comparison for
// each instruction set the filter is built for.
struct PlainMasks {
    template <typename Slot>
    static std::uint64_t equal(const Slot* slots, Slot value) {
        std::uint64_t mask = 0;
        for (std::size_t t = 0; t < kBlock; ++t) {
            mask |= static_cast<std::uint64_t>(slots[t] == value) << t;
        }
        return mask;
    }
};

#if defined(__x86_64__)
struct Sse2Masks {
    static std::uint64_t equal(const std::uint8_t* slots, std::uint8_t value) {
        const __m128i needle = _mm_set1_epi8(static_cast<char>(value));
        std::uint64_t mask = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(slots + 16 * k));
            const auto bits =
                static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, needle)));
            mask |= static_cast<std::uint64_t>(bits) << (16 * k);
        }
        return mask;
    }
    static std::uint64_t equal(const std::uint16_t* slots, std::uint16_t value) {
        const __m128i needle = _mm_set1_epi16(static_cast<short>(value));
        std::uint64_t mask = 0;
        for (int k = 0; k < 4; ++k) {
            const auto* at = reinterpret_cast<const __m128i*>(slots + 16 * k);
            // Equal lanes are all ones, so packing two comparisons keeps one byte a slot.
            const __m128i packed =
                _mm_packs_epi16(_mm_cmpeq_epi16(_mm_loadu_si128(at), needle),
                                _mm_cmpeq_epi16(_mm_loadu_si128(at + 1), needle));
            const auto bits = static_cast<std::uint16_t>(_mm_movemask_epi8(packed));
            mask |= static_cast<std::uint64_t>(bits) << (16 * k);
        }
        return mask;
    }
};

struct Avx2Masks {
    [[gnu::target("avx2")]] static std::uint64_t equal(const std::uint8_t* slots,
                                                       std::uint8_t value) {
        const __m256i needle = _mm256_set1_epi8(static_cast<char>(value));
        const auto* at = reinterpret_cast<const __m256i*>(slots);
        const auto low = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_loadu_si256(at), needle)));
        const auto high = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_loadu_si256(at + 1), needle)));
        return low | static_cast<std::uint64_t>(high) << 32;
    }
    [[gnu::target("avx2")]] static std::uint64_t equal(const std::uint16_t* slots,
                                                       std::uint16_t value) {
        const __m256i needle = _mm256_set1_epi16(static_cast<short>(value));
        const auto* at = reinterpret_cast<const __m256i*>(slots);
        std::uint64_t mask = 0;
        for (int k = 0; k < 2; ++k) {
            // Packing works within 128-bit halves; the permutation puts the slots back in order.
            const __m256i packed =
                _mm256_packs_epi16(_mm256_cmpeq_epi16(_mm256_loadu_si256(at + 2 * k), needle),
                                   _mm256_cmpeq_epi16(_mm256_loadu_si256(at + 2 * k + 1), needle));
            const auto bits = static_cast<std::uint32_t>(
                _mm256_movemask_epi8(_mm256_permute4x64_epi64(packed, 0xD8)));
            mask |= static_cast<std::uint64_t>(bits) << (32 * k);
        }
        return mask;
    }
};

struct Avx512Masks {
    [[gnu::target("avx512f,avx512bw")]] static std::uint64_t equal(const std::uint8_t* slots,
                                                                   std::uint8_t value) {
        return _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(slots),
                                      _mm512_set1_epi8(static_cast<char>(value)));
    }
    [[gnu::target("avx512f,avx512bw")]] static std::uint64_t equal(const std::uint16_t* slots,
                                                                   std::uint16_t value) {
        const __m512i needle = _mm512_set1_epi16(static_cast<short>(value));
        const std::uint64_t low = _mm512_cmpeq_epi16_mask(_mm512_loadu_si512(slots), needle);
        const std::uint64_t high = _mm512_cmpeq_epi16_mask(_mm512_loadu_si512(slots + 32), needle);
        return low | high << 32;
    }
};
#endif

// What the filter's bookkeeping uses: SSE2 is there on every x86-64 processor.
#if defined(__x86_64__)
using BaseMasks = Sse2Masks;
#else
using BaseMasks = PlainMasks;
#endif

// Shifts a 128-bit mask (`low` for slots 0..63, `high` for 64..127) towards slot 0 by 1 to 63.
void shiftDown(std::uint64_t& low, std::uint64_t& high, unsigned by) {
    low = (low >> by) | (high << (kBlock - by));
    high >>= by;
}

// Bit p is set when a row ends somewhere in slots [p, p + span), for p from 0 to 63 and a span of
// 1 to 63, given the row ends of two blocks. Runs of ends are smeared by doubling; a last,
// overlapping shift covers a span that is no power of two.
std::uint64_t rowEndWithin(std::uint64_t low, std::uint64_t high, unsigned span) {
    unsigned covered = 1;
    for (; covered * 2 <= span; covered *= 2) {
        std::uint64_t shiftedLow = low;
        std::uint64_t shiftedHigh = high;
        shiftDown(shiftedLow, shiftedHigh, covered);
        low |= shiftedLow;
        high |= shiftedHigh;
    }
    if (covered < span) {
        std::uint64_t shiftedLow = low;
        std::uint64_t shiftedHigh = high;
        shiftDown(shiftedLow, shiftedHigh, span - covered);
        low |= shiftedLow;
    }
    return low;
}

// From every set bit of `from` to the end of its row, where `inside` marks the slots of rows. A
// run of ones in `inside` is a row: adding a bit inside it clears the run from there up and
// carries into the row's end, which `inside` lacks. `carry` goes in at bit 0 (a fill begun in the
// block before, through a row that goes on) and comes out at bit 63.
std::uint64_t fillToRowEnd(std::uint64_t from, std::uint64_t inside, std::uint64_t& carry) {
    from &= inside;
    std::uint64_t sum = 0;
    std::uint64_t total = 0;
    const bool first = __builtin_add_overflow(inside, from, &sum);
    const bool second = __builtin_add_overflow(sum, carry, &total);
    carry = first || second ? 1 : 0;
    return (inside & ~total) | from;
}

// One piece over the blocks of a window that may hold one of its starts (`live`), with `Checks`
// comparisons a block: where the pieces before it allow it to start (state.allowed), it starts;
// after it ends, up to its row's end, the next piece may start. Returns the blocks where the next
// piece may start, or for the last piece the blocks holding candidates. A block's work has no
// branch on the data: where half the blocks hold a common letter, a mispredicted branch would
// cost more than the comparisons it saves.
template <std::size_t Checks, typename Masks, typename Slot>
std::uint64_t filterPiece(const typename SlotScanner<Slot>::FilterPiece& piece, bool last,
                          typename SlotScanner<Slot>::FilterState& state, const Slot* slots,
                          std::size_t blocks, std::uint64_t live, std::uint64_t& endsCarried,
                          std::uint64_t& fillCarried) {
    // The piece in locals: stores into the masks would otherwise make the compiler read it again
    // for every block.
    std::array<const Slot*, Checks> at{};
    std::array<Slot, Checks> value{};
    for (std::size_t c = 0; c < Checks; ++c) {
        at[c] = slots + piece.checks[c].offset;
        value[c] = piece.checks[c].value;
    }
    const unsigned span = piece.span;
    const bool manyHoles = piece.manyHoles;
    const std::size_t holes = piece.holeCount;
    const std::uint64_t allowedIn = live;
    std::uint64_t found = 0;
    // Returns whether the piece's ends or fill go on into the next block.
    const auto filterBlock = [&](std::size_t b, auto everyBlockAllowed) {
        // Where not every block is allowed, those the piece before did not reach hold stale masks.
        std::uint64_t starts = state.allowed[b];
        if constexpr (!everyBlockAllowed) {
            starts &= 0 - ((allowedIn >> b) & 1);
        }
        [&]<std::size_t... C>(std::index_sequence<C...>) {
            ((starts &= Masks::equal(at[C] + b * kBlock, value[C])), ...);
        }
        (std::make_index_sequence<Checks>{});
        // A `_` takes a character, never a row's end.
        if (manyHoles && starts != 0) {
            starts &= ~rowEndWithin(state.ends[b], state.ends[b + 1], span);
        }
        for (std::size_t h = 0; h < holes && starts != 0; ++h) {
            std::uint64_t low = state.ends[b];
            std::uint64_t high = state.ends[b + 1];
            if (piece.holes[h] != 0) {
                shiftDown(low, high, piece.holes[h]);
            }
            starts &= ~low;
        }
        if (last) {
            state.candidates[b] = starts;
            found |= static_cast<std::uint64_t>(starts != 0) << b;
            return false;
        }
        const std::uint64_t ended = (starts << span) | endsCarried;
        endsCarried = starts >> (kBlock - span);
        const std::uint64_t next = fillToRowEnd(ended, ~state.ends[b], fillCarried);
        state.allowed[b] = next;
        found |= static_cast<std::uint64_t>(next != 0) << b;
        return (endsCarried | fillCarried) != 0;
    };
    const std::uint64_t all =
        blocks == kBlock ? ~std::uint64_t{0} : (std::uint64_t{1} << blocks) - 1;
    if (live == all) {
        for (std::size_t b = 0; b < blocks; ++b) {
            filterBlock(b, std::true_type{});
        }
        return found;
    }
    // A row from the window before may go on into this one, and a row that goes on past a block
    // takes the piece's ends along into the next.
    live |= (endsCarried | fillCarried) != 0 ? 1 : 0;
    while (live != 0) {
        const auto b = static_cast<std::size_t>(std::countr_zero(live));
        live &= live - 1;
        const bool onward = filterBlock(b, std::false_type{}) && b + 1 < blocks;
        live |= onward ? std::uint64_t{2} << b : 0;
    }
    return found;
}

// The filter over one window, piece after piece. Returns the blocks holding candidates, the last
// piece's starts, in state.candidates.
template <typename Masks, typename Slot>
std::uint64_t filterWindow(const typename SlotScanner<Slot>::FilterPiece* pieces, std::size_t count,
                           typename SlotScanner<Slot>::FilterState& state, const Slot* slots,
                           std::size_t blocks) {
    std::fill_n(state.allowed.begin(), blocks, ~std::uint64_t{0});
    std::uint64_t live = blocks == kBlock ? ~std::uint64_t{0} : (std::uint64_t{1} << blocks) - 1;
    bool endsKnown = false;
    for (std::size_t i = 0; i < count; ++i) {
        const bool last = i + 1 == count;
        std::uint64_t endsCarried = last ? 0 : state.endsCarried[i];
        std::uint64_t fillCarried = last ? 0 : state.fillCarried[i];
        // Row ends keep a `_` inside a row and bound a fill; one block more, as a `_` near a
        // block's end asks about the next.
        const bool holes = pieces[i].holeCount != 0 || pieces[i].manyHoles;
        if (!endsKnown && (!last || holes) && (live | endsCarried | fillCarried) != 0) {
            for (std::size_t b = 0; b <= blocks; ++b) {
                state.ends[b] = Masks::equal(slots + b * kBlock, Slot{0});
            }
            endsKnown = true;
        }
        const auto run = [&]<std::size_t Checks>() {
            return filterPiece<Checks, Masks>(pieces[i], last, state, slots, blocks, live,
                                              endsCarried, fillCarried);
        };
        static_assert(SlotScanner<Slot>::kFilterChecks == 4);
        switch (pieces[i].checkCount) {
            case 0:
                live = run.template operator()<0>();
                break;
            case 1:
                live = run.template operator()<1>();
                break;
            case 2:
                live = run.template operator()<2>();
                break;
            case 3:
                live = run.template operator()<3>();
                break;
            default:
                live = run.template operator()<4>();
                break;
        }
        if (!last) {
            state.endsCarried[i] = endsCarried;
            state.fillCarried[i] = fillCarried;
        }
    }
    return live;
}

template <typename Slot>
std::uint64_t filterWindowPlain(const typename SlotScanner<Slot>::FilterPiece* pieces,
                                std::size_t count, typename SlotScanner<Slot>::FilterState& state,
                                const Slot* slots, std::size_t blocks) {
    return filterWindow<PlainMasks>(pieces, count, state, slots, blocks);
}

#if defined(__x86_64__)
// Each built for its instruction set, everything it calls flattened into it, so the vector
// comparisons stay inline.
template <typename Slot>
[[gnu::flatten]] std::uint64_t filterWindowSse2(
    const typename SlotScanner<Slot>::FilterPiece* pieces, std::size_t count,
    typename SlotScanner<Slot>::FilterState& state, const Slot* slots, std::size_t blocks) {
    return filterWindow<Sse2Masks>(pieces, count, state, slots, blocks);
}

template <typename Slot>
[[gnu::target("avx2,popcnt,bmi,bmi2"), gnu::flatten]] std::uint64_t filterWindowAvx2(
    const typename SlotScanner<Slot>::FilterPiece* pieces, std::size_t count,
    typename SlotScanner<Slot>::FilterState& state, const Slot* slots, std::size_t blocks) {
    return filterWindow<Avx2Masks>(pieces, count, state, slots, blocks);
}

template <typename Slot>
[[gnu::target("avx512f,avx512bw,popcnt,bmi,bmi2"), gnu::flatten]] std::uint64_t filterWindowAvx512(
    const typename SlotScanner<Slot>::FilterPiece* pieces, std::size_t count,
    typename SlotScanner<Slot>::FilterState& state, const Slot* slots, std::size_t blocks) {
    return filterWindow<Avx512Masks>(pieces, count, state, slots, blocks);
}

bool hasBitInstructions() {
    return __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi") &&
           __builtin_cpu_supports("bmi2");
}
#endif

template <typename Slot>
typename SlotScanner<Slot>::WindowFilter filterFor(SlotInstructions instructions) {
    if (instructions == SlotInstructions::Widest) {
        for (const SlotInstructions widest :
             {SlotInstructions::Avx512, SlotInstructions::Avx2, SlotInstructions::Sse2}) {
            if (processorHas(widest)) {
                return filterFor<Slot>(widest);
            }
        }
        return filterWindowPlain<Slot>;
    }
    switch (instructions) {
#if defined(__x86_64__)
        case SlotInstructions::Avx512:
            return filterWindowAvx512<Slot>;
        case SlotInstructions::Avx2:
            return filterWindowAvx2<Slot>;
        case SlotInstructions::Sse2:
            return filterWindowSse2<Slot>;
#endif
        default:
            return filterWindowPlain<Slot>;
    }
}

// How common a slot is in a dictionary column, roughly, so the filter compares the rarest:
// English letters by their frequency, other ASCII rare, and any other character rarer still (a
// column of Chinese text spreads over thousands of slots).
int commonness(std::uint32_t slot) {
    constexpr std::string_view kLettersRareFirst = "zqjxkvbpygfwmucldhrsnioate";
    if (slot >= 0x80) {
        return 0;
    }
    if (const std::size_t i = kLettersRareFirst.find(static_cast<char>(slot));
        i != std::string_view::npos) {
        return 2 + static_cast<int>(i);
    }
    return slot == ' ' || slot == '-' ? 10 : 1;
}

}  // namespace

bool processorHas(SlotInstructions instructions) {
#if defined(__x86_64__)
    __builtin_cpu_init();
    switch (instructions) {
        case SlotInstructions::Avx512:
            return hasBitInstructions() && __builtin_cpu_supports("avx512f") &&
                   __builtin_cpu_supports("avx512bw");
        case SlotInstructions::Avx2:
            return hasBitInstructions() && __builtin_cpu_supports("avx2");
        default:
            return true;  // SSE2 is part of x86-64
    }
#else
    return instructions == SlotInstructions::Widest || instructions == SlotInstructions::Portable;
#endif
}

template <typename Slot>
SlotScanner<Slot>::SlotScanner(SlotPieces pieces, SlotInstructions instructions)
    : pieces_(std::move(pieces)) {
    if (instructions == SlotInstructions::Widest) {
        static const WindowFilter widest = filterFor<Slot>(SlotInstructions::Widest);
        filterWindow_ = widest;
    } else {
        filterWindow_ = filterFor<Slot>(instructions);
    }
    const std::size_t filtered = std::min(pieces_.size(), kFilterPieces);
    for (std::size_t p = 0; p < filtered; ++p) {
        const std::vector<std::uint32_t>& piece = pieces_[p];
        FilterPiece& out = filter_.emplace_back();
        out.span = static_cast<unsigned>(std::min(piece.size(), kFilterSpan));
        std::vector<std::pair<int, std::size_t>> literals;
        std::vector<unsigned> holes;
        for (std::size_t i = 0; i < out.span; ++i) {
            if (piece[i] == kAnySlot) {
                holes.push_back(static_cast<unsigned>(i));
            } else {
                literals.emplace_back(commonness(piece[i]), i);
            }
        }
        out.manyHoles = holes.size() > kFilterHoles;
        out.holeCount = out.manyHoles ? 0 : holes.size();
        std::copy_n(holes.begin(), out.holeCount, out.holes.begin());
        std::sort(literals.begin(), literals.end());
        out.checkCount = std::min(literals.size(), kFilterChecks);
        for (std::size_t c = 0; c < out.checkCount; ++c) {
            const std::size_t offset = literals[c].second;
            out.checks[c] = {offset, static_cast<Slot>(piece[offset])};
        }
    }
}

template <typename Slot>
bool SlotScanner<Slot>::rowMatches(const Slot* row, std::size_t length) const {
    // Each piece at its leftmost place leaves the most room for the pieces after it.
    std::size_t at = 0;
    for (const std::vector<std::uint32_t>& piece : pieces_) {
        if (piece.size() > length - at) {
            return false;
        }
        const std::size_t last = length - piece.size();
        std::size_t start = at;
        for (; start <= last; ++start) {
            std::size_t i = 0;
            while (i < piece.size() && (piece[i] == kAnySlot || piece[i] == row[start + i])) {
                ++i;
            }
            if (i == piece.size()) {
                break;
            }
        }
        if (start > last) {
            return false;
        }
        at = start + piece.size();
    }
    return true;
}

template <typename Slot>
bool SlotScanner<Slot>::scan(const Slot* slots, std::size_t size, const RowFound& found) {
    if (filter_.empty()) {
        return true;
    }
    state_.endsCarried.fill(0);
    state_.fillCarried.fill(0);
    // Rows are counted up to `counted` only when a candidate needs its number.
    std::size_t counted = 0;
    std::size_t rows = 0;
    std::size_t rowBegin = 0;
    std::size_t checkedTo = 0;  // slots before this belong to rows already checked
    const std::size_t window = kWindowBlocks * kBlock;
    for (std::size_t from = 0; from < size; from += window) {
        const std::size_t blocks = (std::min(window, size - from) + kBlock - 1) / kBlock;
        std::uint64_t withCandidates =
            filterWindow_(filter_.data(), filter_.size(), state_, slots + from, blocks);
        for (; withCandidates != 0; withCandidates &= withCandidates - 1) {
            const auto b = static_cast<std::size_t>(std::countr_zero(withCandidates));
            std::uint64_t candidates = state_.candidates[b];
            const std::size_t at = from + b * kBlock;
            if (size - at < kBlock) {
                candidates &= (std::uint64_t{1} << (size - at)) - 1;
            }
            while (candidates != 0) {
                const std::size_t position =
                    at + static_cast<std::size_t>(std::countr_zero(candidates));
                candidates &= candidates - 1;
                if (position < checkedTo) {
                    continue;
                }
                while (counted < position) {
                    const std::size_t span = std::min(kBlock, position - counted);
                    std::uint64_t ends = BaseMasks::equal(slots + counted, Slot{0});
                    if (span < kBlock) {
                        ends &= (std::uint64_t{1} << span) - 1;
                    }
                    if (ends != 0) {
                        rows += static_cast<std::size_t>(std::popcount(ends));
                        rowBegin =
                            counted + kBlock - static_cast<std::size_t>(std::countl_zero(ends));
                    }
                    counted += span;
                }
                std::size_t end = position;
                while (slots[end] != 0) {
                    ++end;
                }
                checkedTo = end + 1;
                if (rowMatches(slots + rowBegin, end - rowBegin) && !found(rows, rowBegin, end)) {
                    return false;
                }
            }
        }
    }
    return true;
}

template <typename Slot>
std::size_t countRowEnds(const Slot* slots, std::size_t size) {
    std::size_t ends = 0;
    std::size_t at = 0;
    for (; at + kBlock <= size; at += kBlock) {
        ends += static_cast<std::size_t>(std::popcount(BaseMasks::equal(slots + at, Slot{0})));
    }
    for (; at < size; ++at) {
        ends += slots[at] == 0 ? 1 : 0;
    }
    return ends;
}

template class SlotScanner<std::uint8_t>;
template class SlotScanner<std::uint16_t>;
template std::size_t countRowEnds(const std::uint8_t*, std::size_t);
template std::size_t countRowEnds(const std::uint16_t*, std::size_t);

}  // namespace moshitong
