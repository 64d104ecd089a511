#pragma once
// The gram indexes as they lie in the store, shared by the builder that writes them and the
// substring index that reads them. Each column in kIndexedColumns has one table, named there:
//
//   CREATE TABLE <gramTable> (g BLOB, chunk INTEGER, n INTEGER, rows BLOB,
//                             PRIMARY KEY (g, chunk)) WITHOUT ROWID
//
//  g      a gram: 1 to kMaxGram code points of a value, folded by foldForGrams, in UTF-8
//         (gramKey);
//  chunk  0, 1, 2, ...: a gram's posting list, the rowids of the values that contain it in
//         ascending order, is cut into chunks of at most kChunkRows rowids, so a lookup that needs
//         only the first rows reads little;
//  n      the length of the whole posting list, the same in every chunk;
//  rows   the chunk's rowids (encodeChunk): each the difference to the one before as a varint,
//         seven bits a byte, low bits first, the high bit set on every byte but a number's last.
//         The first is taken from 0, so each chunk decodes on its own. Four bytes follow, least
//         significant first: a checksum of the gram, the chunk's number, n and the varints. A
//         byte changed in the file would otherwise still decode, into rows that were never
//         listed or without rows that were, where the reader reports a damaged store.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace moshitong {

inline constexpr std::size_t kMaxGram = 3;
inline constexpr std::size_t kChunkRows = 256;

// The statement that creates the gram table `name`.
std::string createGramTableSql(std::string_view name);

// Code points of `text` with ASCII letters folded to lower case, the way LIKE folds; nullopt
// when the text holds something the index cannot represent faithfully (NUL, a lone surrogate).
std::optional<std::u32string> foldForGrams(std::u16string_view text);

// The key under which a gram is stored: its folded code points in UTF-8.
std::string gramKey(std::u32string_view gram);

// A gram of up to kMaxGram code points packed into one integer (21 bits a code point, each plus
// one so that a shorter gram never equals a longer one), for sorting and hashing grams in memory.
using PackedGram = std::uint64_t;
PackedGram packGram(std::u32string_view gram);
std::u32string unpackGram(PackedGram packed);

// Where a chunk belongs: its gram's key (gramKey), its number and the length of the whole list.
struct ChunkPlace {
    std::string_view key;
    std::int64_t chunk;
    std::int64_t listLength;
};

std::string encodeChunk(const ChunkPlace& place, std::span<const std::uint32_t> rowids);
// Throws StoreError (SQLITE_CORRUPT) for bytes encodeChunk never writes for that place: a checksum
// that does not match, no rowid at all, a number cut short or too large for a rowid, rowids not
// ascending.
void decodeChunk(std::string_view bytes, const ChunkPlace& place,
                 std::vector<std::uint32_t>& rowids);

}  // namespace moshitong
