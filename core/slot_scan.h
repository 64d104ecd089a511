#pragma once
// Matching a `%text%` LIKE pattern against a column image (core/image_format.h) at memory speed.
//
// An image is the column's rows one after another, each character one slot, each row ended by a
// zero slot. The pattern is compiled into the same slots; its pieces between `%`s keep `_` as a
// wildcard slot. The scan filters 64 slots at a time, each as one bit of a mask: a piece's
// possible starts come from a few wide comparisons, and a piece may only start after the previous
// piece has ended in the same row, which is tracked for all 64 slots at once with integer
// arithmetic (a fill from the first allowed start to the row's end is one addition). So a scan
// costs about the same whatever the text, wildcards and common letters included, and every row
// the filter lets through is then checked slot by slot. The comparisons use the widest vector
// instructions the processor has.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace moshitong {

// A pattern slot that matches any one slot: `_`. No character's slot takes this value.
inline constexpr std::uint32_t kAnySlot = 0x10000;

// The slots a scan may read past the last row of an image, so that it never needs a bounds check
// inside a block; the image keeps them zero.
inline constexpr std::size_t kSlotPadding = 128;

// The runs of a pattern between its `%`s, none empty, each slot a character's slot or kAnySlot.
using SlotPieces = std::vector<std::vector<std::uint32_t>>;

// Receives each matching row: its number in the image (from 0) and its slots [begin, end).
// Returns false to end the scan.
using RowFound = std::function<bool(std::size_t row, std::size_t begin, std::size_t end)>;

// The vector instructions a scan compares with; the widest the processor has unless told.
enum class SlotInstructions { Widest, Avx512, Avx2, Sse2, Portable };
bool processorHas(SlotInstructions instructions);

template <typename Slot>
class SlotScanner {
public:
    explicit SlotScanner(SlotPieces pieces,
                         SlotInstructions instructions = SlotInstructions::Widest);

    // Reports every row of the image that the pattern matches, in order. `slots` holds `size`
    // slots, the last a zero, followed by kSlotPadding zeros. False when `found` ended the scan.
    bool scan(const Slot* slots, std::size_t size, const RowFound& found);

    // The filter's working parts, public for the variants built for each instruction set. The
    // filter looks at no more than this many pieces, comparisons a piece and slots a piece;
    // whatever it leaves out is checked on the rows it lets through.
    static constexpr std::size_t kFilterPieces = 16;
    static constexpr std::size_t kFilterChecks = 4;
    static constexpr std::size_t kFilterSpan = 63;
    // Slots filtered before the rows found among them are checked: 64 blocks of 64.
    static constexpr std::size_t kWindowBlocks = 64;

    // One piece as the filter sees it: its rarest slots, and where its `_`s are, which must not
    // fall on a row's end: a few are checked one by one, more as the whole piece inside one row.
    static constexpr std::size_t kFilterHoles = 3;
    struct Check {
        std::size_t offset;
        Slot value;
    };
    struct FilterPiece {
        std::array<Check, kFilterChecks> checks;
        std::size_t checkCount;
        std::array<unsigned, kFilterHoles> holes;
        std::size_t holeCount;
        bool manyHoles;
        unsigned span;  // slots the piece covers, at most kFilterSpan
    };
    // What the filter carries from one window to the next and works in.
    struct FilterState {
        // Per piece: starts whose end lies beyond the window, and the carry of the fill through a
        // row that goes on past it.
        std::array<std::uint64_t, kFilterPieces> endsCarried;
        std::array<std::uint64_t, kFilterPieces> fillCarried;
        std::array<std::uint64_t, kWindowBlocks> allowed;
        std::array<std::uint64_t, kWindowBlocks + 1> ends;
        std::array<std::uint64_t, kWindowBlocks> candidates;
    };
    // Fills state.candidates for `blocks` blocks from `slots` and returns the blocks that hold
    // any.
    using WindowFilter = std::uint64_t (*)(const FilterPiece* pieces, std::size_t count,
                                           FilterState& state, const Slot* slots,
                                           std::size_t blocks);

private:
    // Whether the pattern matches one row of `length` slots: each row the filter lets through.
    bool rowMatches(const Slot* row, std::size_t length) const;

    SlotPieces pieces_;
    std::vector<FilterPiece> filter_;
    FilterState state_;
    WindowFilter filterWindow_;
};

// The zero slots among the first `size`.
template <typename Slot>
std::size_t countRowEnds(const Slot* slots, std::size_t size);

extern template class SlotScanner<std::uint8_t>;
extern template class SlotScanner<std::uint16_t>;

}  // namespace moshitong
