#pragma once
// Fast substring search: an index of short grams over one searchable column, kept inside the
// store. A `%text%` lookup answers from posting lists of the rarest grams of its text instead of
// scanning the whole table, and gives exactly the rows, in exactly the order, that the plain
// LIKE statement gives:
//  - grams are 1 to 3 code points, folded the way LIKE folds (ASCII letters only);
//  - posting lists hold rowids in ascending order, so intersecting them keeps insertion order;
//  - a text that is one run of at most three characters is its own gram, exact by itself; any
//    other text has each candidate checked by the store's own LIKE before it is listed.
// Texts the index cannot serve (nothing but wildcards, a NUL, a lone surrogate) take the plain
// statement.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store.h"

struct sqlite3;
struct sqlite3_stmt;

namespace moshitong {

inline constexpr std::size_t kMaxGram = 3;
// Posting lists are cut into chunks so a lookup that needs only the first rows reads little.
inline constexpr std::size_t kChunkRows = 256;

// The gram table of a searchable column, e.g. "gram_english_word"; empty when the column is not
// indexed (the explanations of the professional tables are never searched).
std::string gramTableName(Table table, Column column);

// Code points of `text` with ASCII letters folded to lower case; nullopt when the text holds
// something the index cannot represent faithfully (NUL, a lone surrogate).
std::optional<std::u32string> foldForGrams(std::u16string_view text);

// The key under which a gram is stored: its folded code points in UTF-8.
std::string gramKey(std::u32string_view gram);

// Writes the gram table for one column of a store being built (read-write connection). Rows must
// already be in place; rowids are taken as they are.
void writeGramIndex(sqlite3* db, Table table, Column column);

class SubstringIndex {
public:
    // nullptr when the store has no gram table for this column.
    static std::unique_ptr<SubstringIndex> open(sqlite3* db, Table table, Column column);
    ~SubstringIndex();
    SubstringIndex(const SubstringIndex&) = delete;
    SubstringIndex& operator=(const SubstringIndex&) = delete;

    // The rows that `column LIKE '%text%'` gives, in rowid order, at most kRowCap; nullopt when
    // the text must take the plain statement.
    std::optional<std::vector<StoreRow>> search(std::u16string_view text);

private:
    struct Prepared;
    SubstringIndex(sqlite3* db, std::unique_ptr<Prepared> prepared);
    sqlite3* db_;
    std::unique_ptr<Prepared> prepared_;
};

}  // namespace moshitong
