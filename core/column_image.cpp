#include "core/column_image.h"

#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <type_traits>

#include "core/image_format.h"
#include "core/like.h"

namespace moshitong {

namespace {

[[noreturn]] void throwDamaged(const std::string& table, const std::string& what) {
    throw StoreError(SQLITE_CORRUPT, "the column image " + table + " is damaged: " + what);
}

// The text as the store's LIKE sees it, in this image's slots: in the store's UTF-8 (`bytes`),
// decoded character by character, which also turns U+FFFE and U+FFFF into U+FFFD as it does in
// the values. `shared` tells whether a character of it has no slot of its own.
SlotPieces compilePattern(std::string_view bytes, int width, bool& shared) {
    SlotPieces pieces(1);
    shared = false;
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t character = readLikeCharacter(bytes, at);
        if (character == U'%') {
            if (!pieces.back().empty()) {
                pieces.emplace_back();
            }
            continue;
        }
        if (character == U'_') {
            pieces.back().push_back(kAnySlot);
            continue;
        }
        if (character >= U'A' && character <= U'Z') {
            character += U'a' - U'A';
        }
        shared = shared || !hasOwnSlot(character, width);
        pieces.back().push_back(imageSlot(character, width));
    }
    if (pieces.back().empty()) {
        pieces.pop_back();
    }
    return pieces;
}

// A `_` at the start of a piece may as well take the character right after the piece before it:
// a value matches either way. Moved there, no run of `_` stands alone between two `%`, where it
// would start at every position of every value and leave the scan nothing to filter with.
SlotPieces mergeLeadingHoles(SlotPieces pieces) {
    SlotPieces merged;
    for (std::vector<std::uint32_t>& piece : pieces) {
        if (!merged.empty()) {
            const auto holes = std::find_if(piece.begin(), piece.end(),
                                            [](std::uint32_t slot) { return slot != kAnySlot; });
            merged.back().insert(merged.back().end(), piece.begin(), holes);
            piece.erase(piece.begin(), holes);
        }
        if (!piece.empty()) {
            merged.push_back(std::move(piece));
        }
    }
    return merged;
}

}  // namespace

struct ColumnImage::Chunk {
    std::int64_t first = 0;
    std::int64_t rows = 0;
    std::int64_t sum = 0;
    // Once read: the slots, then kSlotPadding zeros; one of the two, by the image's width.
    std::size_t size = 0;
    std::unique_ptr<std::uint8_t[]> narrow;
    std::unique_ptr<std::uint16_t[]> wide;
};

std::unique_ptr<ColumnImage> ColumnImage::open(sqlite3* db, const IndexedColumn& indexed) {
    const std::string name(indexed.imageTable);
    {
        const sqlite::StatementHandle probe =
            sqlite::prepare(db, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1");
        sqlite::bindText(probe.get(), 1, indexed.imageTable);
        if (!sqlite::step(probe.get())) {
            return nullptr;
        }
    }
    std::vector<Chunk> chunks;
    int width = 0;
    const sqlite::StatementHandle directory = sqlite::prepare(
        db, "SELECT chunk, first, rows, width, sum FROM " + name + " ORDER BY chunk");
    while (sqlite::step(directory.get())) {
        Chunk chunk;
        chunk.first = sqlite3_column_int64(directory.get(), 1);
        chunk.rows = sqlite3_column_int64(directory.get(), 2);
        chunk.sum = sqlite3_column_int64(directory.get(), 4);
        const int chunkWidth = sqlite3_column_int(directory.get(), 3);
        if (sqlite3_column_int64(directory.get(), 0) != static_cast<std::int64_t>(chunks.size())) {
            throwDamaged(name, "a chunk is missing");
        }
        if ((chunkWidth != 1 && chunkWidth != 2) || (width != 0 && chunkWidth != width)) {
            throwDamaged(name, "slots of unknown width");
        }
        if (chunk.rows <= 0 ||
            (!chunks.empty() && chunk.first < chunks.back().first + chunks.back().rows)) {
            throwDamaged(name, "rows out of order");
        }
        width = chunkWidth;
        chunks.push_back(std::move(chunk));
    }
    // Rows added to the table after the image was written would never be found in it.
    const sqlite::StatementHandle newest =
        sqlite::prepare(db, "SELECT max(rowid) FROM " + tableNameUtf8(indexed.table));
    if (sqlite::step(newest.get()) && sqlite3_column_type(newest.get(), 0) != SQLITE_NULL) {
        const std::int64_t last = sqlite3_column_int64(newest.get(), 0);
        if (chunks.empty() || last >= chunks.back().first + chunks.back().rows) {
            return nullptr;
        }
    }
    return std::unique_ptr<ColumnImage>(
        new ColumnImage(db, name, width == 0 ? 1 : width, std::move(chunks)));
}

ColumnImage::ColumnImage(sqlite3* db, std::string table, int width, std::vector<Chunk> chunks)
    : db_(db),
      table_(std::move(table)),
      width_(width),
      chunks_(std::move(chunks)),
      asStored_(sqlite::prepare(db, "SELECT ?1", SQLITE_PREPARE_PERSISTENT)) {
}

ColumnImage::~ColumnImage() = default;

template <typename Slot>
void ColumnImage::load(std::size_t number, sqlite::BlobHandle& blob) {
    Chunk& chunk = chunks_[number];
    const auto rowid = static_cast<long long>(number);
    if (blob) {
        sqlite::reopenBlob(db_, blob.get(), rowid);
    } else {
        blob = sqlite::openBlob(db_, table_, "slots", rowid);
    }
    const int bytes = sqlite::blobBytes(blob.get());
    if (bytes <= 0 || bytes % static_cast<int>(sizeof(Slot)) != 0) {
        throwDamaged(table_, "a chunk of the wrong size");
    }
    const std::size_t size = static_cast<std::size_t>(bytes) / sizeof(Slot);
    // Left uninitialised: each page of a large image is then touched once, by the read.
    auto slots = std::make_unique_for_overwrite<Slot[]>(size + kSlotPadding);
    sqlite::readBlob(db_, blob.get(), slots.get(), bytes);
    const std::string_view stored(reinterpret_cast<const char*>(slots.get()),
                                  static_cast<std::size_t>(bytes));
    if (imageChecksum(chunk.first, chunk.rows, width_, stored) != chunk.sum) {
        throwDamaged(table_, "a chunk whose checksum does not match");
    }
    if constexpr (sizeof(Slot) > 1 && std::endian::native == std::endian::big) {
        for (std::size_t k = 0; k < size; ++k) {
            slots[k] = static_cast<Slot>((slots[k] >> 8) | (slots[k] << 8));
        }
    }
    std::fill_n(slots.get() + size, kSlotPadding, Slot{0});
    // The scan trusts every value to end inside the chunk, and each value it counts to be one of
    // the chunk's.
    if (slots[size - 1] != 0 ||
        countRowEnds(slots.get(), size) != static_cast<std::size_t>(chunk.rows)) {
        throwDamaged(table_, "a chunk whose rows do not add up");
    }
    chunk.size = size;
    if constexpr (std::is_same_v<Slot, std::uint8_t>) {
        chunk.narrow = std::move(slots);
    } else {
        chunk.wide = std::move(slots);
    }
}

template <typename Slot>
const Slot* ColumnImage::slotsOf(std::size_t number, sqlite::BlobHandle& blob) {
    if (chunks_[number].size == 0) {
        load<Slot>(number, blob);
    }
    if constexpr (std::is_same_v<Slot, std::uint8_t>) {
        return chunks_[number].narrow.get();
    } else {
        return chunks_[number].wide.get();
    }
}

template <typename Slot>
void ColumnImage::scan(const SlotPieces& pieces, const Confirm* confirm,
                       std::vector<std::int64_t>& rowids) {
    SlotScanner<Slot> scanner(pieces);
    // One handle for every chunk this search reads, closed when it ends.
    sqlite::BlobHandle blob;
    for (std::size_t i = 0; i < chunks_.size(); ++i) {
        const Slot* slots = slotsOf<Slot>(i, blob);
        const std::int64_t first = chunks_[i].first;
        const bool more =
            scanner.scan(slots, chunks_[i].size, [&](std::size_t row, std::size_t, std::size_t) {
                const std::int64_t rowid = first + static_cast<std::int64_t>(row);
                if (confirm == nullptr || (*confirm)(rowid)) {
                    rowids.push_back(rowid);
                }
                return static_cast<long>(rowids.size()) < kRowCap;
            });
        if (!more) {
            return;
        }
    }
}

std::optional<std::vector<std::int64_t>> ColumnImage::find(std::u16string_view text,
                                                           const Confirm& confirm) {
    // Converted by the store itself, which makes of a lone surrogate what the plain statement's
    // pattern would hold.
    sqlite3_stmt* convert = asStored_.get();
    sqlite3_reset(convert);
    sqlite::bindText(convert, 1, text);
    sqlite::step(convert);
    const auto* converted = reinterpret_cast<const char*>(sqlite3_column_text(convert, 0));
    const std::string bytes(converted == nullptr ? "" : converted,
                            static_cast<std::size_t>(sqlite3_column_bytes(convert, 0)));
    sqlite3_reset(convert);
    bool shared = false;
    const SlotPieces pieces = mergeLeadingHoles(compilePattern(bytes, width_, shared));
    if (pieces.empty()) {
        return std::nullopt;  // every value that is not Null matches: the plain statement stops at
                              // once
    }
    std::vector<std::int64_t> rowids;
    if (width_ == 1) {
        scan<std::uint8_t>(pieces, shared ? &confirm : nullptr, rowids);
    } else {
        scan<std::uint16_t>(pieces, shared ? &confirm : nullptr, rowids);
    }
    return rowids;
}

bool ColumnImage::readAhead() {
    while (nextToRead_ < chunks_.size() && chunks_[nextToRead_].size != 0) {
        ++nextToRead_;
    }
    if (nextToRead_ == chunks_.size()) {
        return false;
    }
    sqlite::BlobHandle blob;
    if (width_ == 1) {
        load<std::uint8_t>(nextToRead_, blob);
    } else {
        load<std::uint16_t>(nextToRead_, blob);
    }
    ++nextToRead_;
    return true;
}

}  // namespace moshitong
