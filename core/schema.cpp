#include "core/schema.h"

#include "core/text.h"

namespace moshitong {

namespace {

template <typename Name, typename Item, std::size_t N>
std::array<std::string, N> utf8Names(const std::array<Item, N>& items, Name name) {
    std::array<std::string, N> names;
    for (std::size_t i = 0; i < N; ++i) {
        names[i] = toUtf8(name(items[i]));
    }
    return names;
}

}  // namespace

StoreError::StoreError(int number, std::string description)
    : std::runtime_error("error " + std::to_string(number) + ": " + description),
      number_(number),
      description_(std::move(description)) {
}

const std::string& tableNameUtf8(Table table) {
    static const auto names = utf8Names(kTables, tableName);
    return names[static_cast<std::size_t>(table)];
}

const std::string& columnNameUtf8(Column column) {
    static const auto names = utf8Names(kColumns, columnName);
    return names[static_cast<std::size_t>(column)];
}

const std::string& rowColumnsSql() {
    static const std::string sql =
        columnNameUtf8(Column::Word) + ", " + columnNameUtf8(Column::Explanation);
    return sql;
}

const std::string& createTablesSql() {
    static const std::string sql = [] {
        std::string out;
        for (const Table table : kTables) {
            out += "CREATE TABLE " + tableNameUtf8(table) + " (" + columnNameUtf8(Column::Word) +
                   " TEXT COLLATE NOCASE, " + columnNameUtf8(Column::Explanation) + " TEXT);";
        }
        return out;
    }();
    return sql;
}

const std::string& createIndexesSql() {
    static const std::string sql = [] {
        std::string out;
        for (const Table table : kTables) {
            const std::string& name = tableNameUtf8(table);
            const std::string& word = columnNameUtf8(Column::Word);
            out += "CREATE INDEX " + name + "_" + word + " ON " + name + " (" + word + ");";
        }
        return out;
    }();
    return sql;
}

std::string createImageTableSql(std::string_view name) {
    return "CREATE TABLE " + std::string(name) +
           " (chunk INTEGER PRIMARY KEY, first INTEGER NOT NULL, rows INTEGER NOT NULL, "
           "width INTEGER NOT NULL, sum INTEGER NOT NULL, slots BLOB NOT NULL)";
}

}  // namespace moshitong
