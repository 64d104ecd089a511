#include "core/store.h"

#include <sqlite3.h>
#include <unistd.h>

#include <array>
#include <system_error>

#include "core/like.h"
#include "core/sqlite_handles.h"
#include "core/substring_index.h"
#include "core/text.h"

namespace moshitong {

namespace {

using sqlite::columnText;
using sqlite::prepare;
using sqlite::StatementHandle;
using sqlite::throwStoreError;

[[noreturn]] void throwMisuse(std::string description) {
    throw StoreError(SQLITE_MISUSE, std::move(description));
}

}  // namespace

StoreError::StoreError(int number, std::string description)
    : std::runtime_error("error " + std::to_string(number) + ": " + description),
      number_(number),
      description_(std::move(description)) {
}

std::u16string_view tableName(Table table) {
    switch (table) {
        case Table::Concise:
            return u"简明英语单词";
        case Table::English:
            return u"英语单词";
        case Table::Chinese:
            return u"汉语单词";
    }
    return {};
}

std::u16string_view columnName(Column column) {
    return column == Column::Word ? std::u16string_view(u"单词") : std::u16string_view(u"解释");
}

std::u16string Statement::literal() const {
    std::u16string sql = u"select*from ";
    sql += tableName(table);
    sql += u" where ";
    sql += columnName(column);
    if (match == Match::Exact) {
        sql += u" = '";
        sql += text;
        sql += u"'";
        return sql;
    }
    // The Chinese headword search has always had a single space before "like", the others two.
    sql += table == Table::Chinese ? u" like '%" : u"  like '%";
    sql += text;
    sql += u"%'";
    return sql;
}

std::string boundSql(const Statement& statement) {
    std::string sql = "SELECT 单词, 解释 FROM " + toUtf8(tableName(statement.table)) + " WHERE " +
                      toUtf8(columnName(statement.column));
    // An exact match compares ASCII case-insensitively, whatever collation the file declares; the
    // user's % and _ keep their wildcard meaning in a substring search only. Rows come back in
    // insertion order: an index must never decide the order.
    sql += statement.match == Match::Exact ? " = ?1 COLLATE NOCASE" : " LIKE '%' || ?1 || '%'";
    sql += " ORDER BY rowid LIMIT " + std::to_string(kRowCap);
    return sql;
}

void Connection::Closer::operator()(sqlite3* db) const noexcept {
    sqlite3_close_v2(db);
}

Connection::Connection() = default;
Connection::~Connection() = default;
Connection::Connection(Connection&&) noexcept = default;
Connection& Connection::operator=(Connection&&) noexcept = default;

namespace {

// Slot of each searchable column in the connection's index cache; -1 for columns never searched.
int indexSlot(Table table, Column column) {
    if (table == Table::Concise) {
        return column == Column::Word ? 0 : 1;
    }
    if (column != Column::Word) {
        return -1;
    }
    return table == Table::English ? 2 : 3;
}
constexpr int kIndexSlots = 4;

}  // namespace

SubstringIndex* Connection::substringIndex(Table table, Column column) {
    const int slot = indexSlot(table, column);
    if (!indexEnabled_ || !db_ || slot < 0) {
        return nullptr;
    }
    if (!indexes_) {
        indexes_ = std::make_unique<IndexSlot[]>(kIndexSlots);
    }
    IndexSlot& entry = indexes_[slot];
    if (!entry.probed) {
        entry.index = SubstringIndex::open(db_.get(), table, column);
        entry.probed = true;
    }
    return entry.index.get();
}

void Connection::Open(const std::filesystem::path& file) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, Closer> db(raw);
    if (rc != SQLITE_OK) {
        throwStoreError(db.get(), rc);
    }
    sqlite3_extended_result_codes(db.get(), 1);
    // The store is the only file this connection may touch: with no database attachable, neither
    // ATTACH nor VACUUM INTO can create another, read-only connection or not.
    sqlite3_limit(db.get(), SQLITE_LIMIT_ATTACHED, 0);
    // A query may be longer than SQLite's LIKE accepts, or hold a NUL; ours takes both.
    if (const int installed = installLike(db.get()); installed != SQLITE_OK) {
        throwStoreError(db.get(), installed);
    }
    indexes_.reset();
    db_ = std::move(db);
    path_ = file;
}

void SqliteRecordset::Open(const Statement& source, Connection& Conn) {
    if (open_) {
        throwMisuse("the recordset is already open");
    }
    if (!Conn.isOpen()) {
        throwMisuse("the connection is not open");
    }
    if (source.match == Match::Substring) {
        if (SubstringIndex* index = Conn.substringIndex(source.table, source.column)) {
            if (auto rows = index->search(source.text)) {
                rows_ = std::move(*rows);
                current_ = 0;
                open_ = true;
                return;
            }
        }
    }
    sqlite3* db = Conn.handle();
    const StatementHandle statement = prepare(db, boundSql(source));
    const auto bytes = static_cast<int>(source.text.size() * sizeof(char16_t));
    // An empty text must bind as empty text, not as Null: a null pointer would bind Null.
    const char16_t* text = source.text.empty() ? u"" : source.text.data();
    if (const int rc = sqlite3_bind_text16(statement.get(), 1, text, bytes, SQLITE_TRANSIENT);
        rc != SQLITE_OK) {
        throwStoreError(db, rc);
    }
    std::vector<StoreRow> rows;
    for (;;) {
        const int rc = sqlite3_step(statement.get());
        if (rc == SQLITE_DONE) {
            break;
        }
        if (rc != SQLITE_ROW) {
            throwStoreError(db, rc);
        }
        rows.push_back(StoreRow{columnText(statement.get(), 0), columnText(statement.get(), 1)});
    }
    rows_ = std::move(rows);
    current_ = 0;
    open_ = true;
}

void SqliteRecordset::requireOpen() const {
    if (!open_) {
        throwMisuse("the recordset is closed");
    }
}

long SqliteRecordset::RecordCount() {
    requireOpen();
    return static_cast<long>(rows_.size());
}

std::optional<std::u16string> SqliteRecordset::Field(std::u16string_view column) {
    requireOpen();
    if (current_ >= rows_.size()) {
        throwMisuse("no current row: the recordset is at its end");
    }
    const StoreRow& row = rows_[current_];
    if (column == columnName(Column::Word)) {
        return row.word;
    }
    if (column == columnName(Column::Explanation)) {
        return row.explanation;
    }
    throwMisuse("no such column: " + toUtf8(column));
}

void SqliteRecordset::MoveNext() {
    requireOpen();
    if (current_ >= rows_.size()) {
        throwMisuse("cannot move past the end of the recordset");
    }
    ++current_;
}

void SqliteRecordset::Close() {
    requireOpen();
    rows_.clear();
    current_ = 0;
    open_ = false;
}

std::filesystem::path programFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::filesystem::current_path();
    }
    return exe.parent_path();
}

std::filesystem::path defaultDictionaryPath() {
    const auto folder = programFolder();
    const auto beside = folder / "lexi";
    const auto installed = folder / ".." / "share" / "moshitong" / "lexi";
    std::error_code error;
    if (!std::filesystem::exists(beside, error) && std::filesystem::exists(installed, error)) {
        return installed.lexically_normal();
    }
    return beside;
}

void OpenDictionary(Connection& Conn, const std::filesystem::path& file) {
    Connection opened;
    opened.Open(file);
    // Preparing reads the schema, so a file that is no database, or lacks a table or a column,
    // fails here instead of at the user's first lookup.
    for (const Table table : {Table::Concise, Table::English, Table::Chinese}) {
        const std::string sql = "SELECT 单词, 解释 FROM " + toUtf8(tableName(table)) + " LIMIT 0";
        const StatementHandle statement = prepare(opened.handle(), sql);
        if (const int rc = sqlite3_step(statement.get()); rc != SQLITE_DONE && rc != SQLITE_ROW) {
            throwStoreError(opened.handle(), rc);
        }
    }
    Conn = std::move(opened);
}

}  // namespace moshitong
