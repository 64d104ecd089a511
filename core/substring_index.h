#pragma once
// Fast substring search: an index of short grams over one searchable column, kept inside the
// store (core/gram_format.h) and written by the builder. A `%text%` lookup answers from posting
// lists of the rarest grams of its text instead of scanning the whole table, and gives exactly the
// rows, in exactly the order, that the plain LIKE statement gives:
//  - grams are 1 to 3 code points, folded the way LIKE folds (ASCII letters only);
//  - posting lists hold rowids in ascending order, so intersecting them keeps insertion order;
//  - a text that is one run of at most three characters is its own gram, exact by itself; any
//    other text has each candidate checked by the store's own LIKE before it is listed.
// Texts the grams cannot narrow (every gram common, nothing but wildcards, a NUL, a lone
// surrogate) are scanned in the column's image (core/column_image.h) when the store has one;
// without one they take the plain statement.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/schema.h"

struct sqlite3;

namespace moshitong {

class SubstringIndex {
public:
    // nullptr when the store has no gram table for this column.
    static std::unique_ptr<SubstringIndex> open(sqlite3* db, const IndexedColumn& indexed);
    ~SubstringIndex();
    SubstringIndex(const SubstringIndex&) = delete;
    SubstringIndex& operator=(const SubstringIndex&) = delete;

    // The rows that `column LIKE '%text%'` gives, in rowid order, at most kRowCap; nullopt when
    // the text must take the plain statement.
    std::optional<std::vector<StoreRow>> search(std::u16string_view text);

    // Reads one more piece of the column's image into memory; false when there is nothing left
    // to read.
    bool readAhead();

private:
    struct Prepared;
    explicit SubstringIndex(std::unique_ptr<Prepared> prepared);
    std::optional<std::vector<StoreRow>> searchImage(std::u16string_view text);
    std::unique_ptr<Prepared> prepared_;
};

}  // namespace moshitong
