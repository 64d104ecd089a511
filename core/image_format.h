#pragma once
// The column images as they lie in the store, shared by the builder that writes them and the
// column image that reads them (core/column_image.h). Each column in kIndexedColumns has one image
// table, named there and created by createImageTableSql (core/schema.h):
//
//   CREATE TABLE <imageTable> (chunk INTEGER PRIMARY KEY, first INTEGER NOT NULL,
//                              rows INTEGER NOT NULL, width INTEGER NOT NULL,
//                              sum INTEGER NOT NULL, slots BLOB NOT NULL)
//
//  chunk  0, 1, 2, ...: the column's values in rowid order, cut into chunks of at most
//         kImageChunkSlots slots (a value longer than that has a chunk of its own);
//  first  the rowid of the chunk's first value: the chunk holds the values of rowids first,
//         first + 1, ..., first + rows - 1, so a gap in the rowids starts a new chunk;
//  rows   how many values the chunk holds, at least one;
//  width  bytes a slot, 1 or 2, the same in every chunk of a column;
//  sum    imageChecksum of the chunk, as a signed 64-bit integer: a value changed in the file
//         would otherwise give wrong rows without a word, where the reader reports a damaged
//         store;
//  slots  the chunk's values one after another, a slot per character and a zero slot after each
//         value (a Null value is empty); two-byte slots least significant byte first.
//
// A slot is one character as the store's LIKE decodes it (readLikeCharacter), ASCII letters
// folded to lower case, so a `_` is one slot whatever the character. A column takes one byte a
// slot where nearly all its characters are ASCII, two elsewhere. A character without a slot of its
// own (anything but ASCII in a one-byte image, anything outside the BMP in a two-byte one) shares
// one with others, and a value found through such a slot is confirmed by the store's LIKE.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace moshitong {

// Small enough that reading a chunk takes well under a millisecond, so a search that stops early
// reads little and reading ahead goes in short steps; large enough that there are few to read.
inline constexpr std::size_t kImageChunkSlots = std::size_t{1} << 18;

// The characters of a stored value (UTF-8, as SQLite hands it over) as LIKE compares them:
// decoded the way SQLite decodes, ASCII letters folded.
std::u32string likeCharacters(std::string_view value);

// The slot of a character (decoded and folded) in an image of `width` bytes a slot; never zero.
std::uint16_t imageSlot(char32_t character, int width) noexcept;
// True when no other character shares the character's slot.
bool hasOwnSlot(char32_t character, int width) noexcept;

// The chunk's checksum: its slots as stored, and where they belong.
std::int64_t imageChecksum(std::int64_t first, std::int64_t rows, int width,
                           std::string_view slots) noexcept;

}  // namespace moshitong
