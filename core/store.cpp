#include "core/store.h"

#include <sqlite3.h>

#include <system_error>

#include "core/like.h"
#include "core/platform.h"
#include "core/substring_index.h"
#include "core/text.h"

namespace moshitong {

namespace {

// Enough for the pages one lookup walks again and again (the upper levels of the tables' and
// the gram indexes' trees, the rows a listing reads twice): at 256 KB the wildcard lookups that
// list 101 rows took a sixth longer, at 1 MB as long as with SQLite's default of 2 MB.
constexpr int kPageCacheKib = 1024;

[[noreturn]] void throwMisuse(std::string description) {
    throw StoreError(SQLITE_MISUSE, std::move(description));
}

}  // namespace

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
    std::string sql = "SELECT " + rowColumnsSql() + " FROM " + tableNameUtf8(statement.table) +
                      " WHERE " + columnNameUtf8(statement.column);
    // An exact match compares ASCII case-insensitively, whatever collation the file declares; the
    // user's % and _ keep their wildcard meaning in a substring search only. Rows come back in
    // insertion order: an index must never decide the order.
    sql += statement.match == Match::Exact ? " = ?1 COLLATE NOCASE" : " LIKE '%' || ?1 || '%'";
    sql += " ORDER BY rowid LIMIT " + std::to_string(kRowCap);
    return sql;
}

namespace {

// The rows of the plain statement, the user's text bound as ?1.
std::vector<StoreRow> readRows(Connection& Conn, const Statement& source) {
    const sqlite::StatementHandle statement = sqlite::prepare(Conn.handle(), boundSql(source));
    sqlite::bindText(statement.get(), 1, source.text);
    std::vector<StoreRow> rows;
    while (sqlite::step(statement.get())) {
        rows.push_back(StoreRow{sqlite::columnText(statement.get(), 0),
                                sqlite::columnText(statement.get(), 1)});
    }
    return rows;
}

}  // namespace

Connection::Connection() = default;
Connection::~Connection() = default;
Connection::Connection(Connection&&) noexcept = default;
Connection& Connection::operator=(Connection&&) noexcept = default;

SubstringIndex* Connection::substringIndex(Table table, Column column) {
    const auto slot = indexedSlot(table, column);
    if (!indexEnabled_ || !db_ || !slot) {
        return nullptr;
    }
    IndexSlot& entry = indexes_[*slot];
    if (!entry.probed) {
        entry.index = SubstringIndex::open(db_.get(), kIndexedColumns[*slot]);
        entry.probed = true;
    }
    return entry.index.get();
}

bool Connection::readAhead() {
    for (const IndexedColumn& indexed : kIndexedColumns) {
        SubstringIndex* index = substringIndex(indexed.table, indexed.column);
        if (index != nullptr && index->readAhead()) {
            return true;
        }
    }
    if (!readAheadDone_ && db_) {
        // What the cache holds now are the images' pages, never read through it again: the
        // lookups fill it anew with pages of their own.
        sqlite3_db_release_memory(db_.get());
        returnFreeMemory();
        readAheadDone_ = true;
    }
    return false;
}

void Connection::Open(const std::filesystem::path& file) {
    sqlite::DatabaseHandle db = sqlite::open(file, SQLITE_OPEN_READONLY);
    // The store is the only file this connection may touch: with no database attachable, neither
    // ATTACH nor VACUUM INTO can create another, read-only connection or not.
    sqlite3_limit(db.get(), SQLITE_LIMIT_ATTACHED, 0);
    // A query may be longer than SQLite's LIKE accepts, or hold a NUL; ours takes both.
    if (const int installed = installLike(db.get()); installed != SQLITE_OK) {
        sqlite::throwStoreError(db.get(), installed);
    }
    // SQLite's own cache would keep 2 MB of pages, after start-up nearly all of them the column
    // images' on their way into their buffers, which are never read through it again. The
    // kernel caches the file as well, so a page that falls out of this one costs a copy, not a
    // read from the disk.
    sqlite::exec(db.get(), "PRAGMA cache_size = -" + std::to_string(kPageCacheKib));
    indexes_ = {};
    readAheadDone_ = false;
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
    std::optional<std::vector<StoreRow>> indexed;
    if (source.match == Match::Substring) {
        if (SubstringIndex* index = Conn.substringIndex(source.table, source.column)) {
            indexed = index->search(source.text);
        }
    }
    rows_ = indexed ? std::move(*indexed) : readRows(Conn, source);
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
    for (const Table table : kTables) {
        const std::string sql =
            "SELECT " + rowColumnsSql() + " FROM " + tableNameUtf8(table) + " LIMIT 0";
        sqlite::step(sqlite::prepare(opened.handle(), sql).get());
    }
    Conn = std::move(opened);
}

}  // namespace moshitong
