#pragma once
// Writes the gram index of a column into a store being built (core/gram_format.h), from the rows
// already in place; rowids are taken as they are.

#include "core/schema.h"

struct sqlite3;

namespace moshitong::builder {

// Throws StoreError, or for a value the index cannot represent (a NUL, a lone surrogate) a
// StoreError naming the row.
void writeGramIndex(sqlite3* db, const IndexedColumn& indexed);

}  // namespace moshitong::builder
