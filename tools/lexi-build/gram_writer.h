#pragma once
// Writes the gram index and the image of a column into a store being built (core/gram_format.h,
// core/image_format.h), from the rows already in place; rowids are taken as they are.

#include <cstddef>

#include "core/image_format.h"
#include "core/schema.h"

struct sqlite3;

namespace moshitong::builder {

// Throws StoreError, or for a value the index cannot represent (a NUL, a lone surrogate) a
// StoreError naming the row.
void writeGramIndex(sqlite3* db, const IndexedColumn& indexed);

struct ImageLayout {
    std::size_t chunkSlots = kImageChunkSlots;
    // Bytes a slot; 0 chooses: one when at most one character in 256 has no one-byte slot of its
    // own, else two.
    int width = 0;
};

// Throws StoreError.
void writeColumnImage(sqlite3* db, const IndexedColumn& indexed, const ImageLayout& layout = {});

}  // namespace moshitong::builder
