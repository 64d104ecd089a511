#pragma once
// The store's vocabulary, shared by the lookups, the dictionary builder and the tests: its tables
// and columns, how a lookup matches, the row a lookup reads, the row cap, the error a store
// operation throws and the columns that carry gram indexes. A table or column is renamed here
// and nowhere else.
//
// Rows are read back in insertion (rowid) order, so the builder's insertion order is what a
// listing shows first. 单词 compares ASCII case-insensitively through its NOCASE collation.

#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace moshitong {

// A failing store operation. `number()` is the store's error number (an SQLite result code, or
// SQLITE_MISUSE for operations on a recordset in the wrong state) and `description()` its text.
class StoreError : public std::runtime_error {
public:
    StoreError(int number, std::string description);
    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }

private:
    int number_;
    std::string description_;
};

enum class Table { Concise, English, Chinese };
enum class Column { Word, Explanation };
enum class Match { Exact, Substring };

// Every table and column, in the order of their enumerators.
inline constexpr std::array kTables{Table::Concise, Table::English, Table::Chinese};
inline constexpr std::array kColumns{Column::Word, Column::Explanation};

constexpr std::u16string_view tableName(Table table) {
    constexpr std::array<std::u16string_view, kTables.size()> names{u"简明英语单词", u"英语单词",
                                                                    u"汉语单词"};
    return names[static_cast<std::size_t>(table)];
}

constexpr std::u16string_view columnName(Column column) {
    return column == Column::Word ? u"单词" : u"解释";
}

// The same names in UTF-8, for SQL text; converted once.
const std::string& tableNameUtf8(Table table);
const std::string& columnNameUtf8(Column column);
// "单词, 解释": the columns in the order a StoreRow holds them.
const std::string& rowColumnsSql();

// Every lookup lists at most this many entries, so no caller can observe more rows.
inline constexpr long kRowCap = 101;

// One row as a lookup reads it; Null is std::nullopt, distinct from empty text.
struct StoreRow {
    std::optional<std::u16string> word;
    std::optional<std::u16string> explanation;
};

// The columns a substring lookup searches, each with its gram index (core/gram_format.h) and its
// image (core/image_format.h). The explanations of the professional tables are never searched, so
// they have neither.
struct IndexedColumn {
    Table table;
    Column column;
    std::string_view gramTable;
    std::string_view imageTable;
};

inline constexpr std::array<IndexedColumn, 4> kIndexedColumns{{
    {Table::Concise, Column::Word, "gram_concise_word", "image_concise_word"},
    {Table::Concise, Column::Explanation, "gram_concise_explanation", "image_concise_explanation"},
    {Table::English, Column::Word, "gram_english_word", "image_english_word"},
    {Table::Chinese, Column::Word, "gram_chinese_word", "image_chinese_word"},
}};

// The column's position in kIndexedColumns; nullopt when it has no gram index.
constexpr std::optional<std::size_t> indexedSlot(Table table, Column column) {
    for (std::size_t slot = 0; slot < kIndexedColumns.size(); ++slot) {
        if (kIndexedColumns[slot].table == table && kIndexedColumns[slot].column == column) {
            return slot;
        }
    }
    return std::nullopt;
}

// Creates the three tables, empty.
const std::string& createTablesSql();
// Indexes the headwords; run after the rows are in, as building an index once is faster than
// keeping it up to date.
const std::string& createIndexesSql();
// Creates the image table `name` of a searched column, empty (its layout: core/image_format.h).
std::string createImageTableSql(std::string_view name);

// Where the data came from, one row per source: a store copied on its own still carries the
// attribution and the licences its sources ask for. `built` is the build time in UTC (ISO 8601).
inline constexpr const char* kMetadataSql =
    "CREATE TABLE metadata (source TEXT, version TEXT, licence TEXT, copyright TEXT, "
    "origin TEXT, tables TEXT, built TEXT);";

}  // namespace moshitong
