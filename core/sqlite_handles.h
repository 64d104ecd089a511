#pragma once
// SQLite handles and checks for every piece of code that talks to a store: the read-only store
// and its substring index, and the builder that writes stores. Each failing call throws a
// StoreError with SQLite's number and message. Binds count from 1, result columns from 0.
// Callers that need SQLite's constants include <sqlite3.h> themselves; this header does not, so
// the store's interface can hold a handle without bringing SQLite along.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/schema.h"

struct sqlite3;
struct sqlite3_blob;
struct sqlite3_stmt;

namespace moshitong::sqlite {

struct DatabaseCloser {
    void operator()(sqlite3* db) const noexcept;
};
using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept;
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

struct BlobCloser {
    void operator()(sqlite3_blob* blob) const noexcept;
};
using BlobHandle = std::unique_ptr<sqlite3_blob, BlobCloser>;

// The store's own number and text for the last failure on `db`.
[[noreturn]] void throwStoreError(sqlite3* db);
// As above; `code` and its standard text when there is no `db`.
[[noreturn]] void throwStoreError(sqlite3* db, int code);

// `flags` as for sqlite3_open_v2. Extended result codes are on.
DatabaseHandle open(const std::filesystem::path& file, int flags);

// Runs statements that return no rows.
void exec(sqlite3* db, const std::string& sql);

// `flags` as for sqlite3_prepare_v3: SQLITE_PREPARE_PERSISTENT for statements kept for reuse.
StatementHandle prepare(sqlite3* db, const std::string& sql, unsigned flags = 0);

// Empty text binds as empty text, never as Null.
void bindText(sqlite3_stmt* statement, int index, std::u16string_view text);
void bindText(sqlite3_stmt* statement, int index, std::string_view utf8);
void bindBlob(sqlite3_stmt* statement, int index, std::string_view bytes);
void bindInt(sqlite3_stmt* statement, int index, long long value);

// One step: true with a row to read, false when the statement is done.
bool step(sqlite3_stmt* statement);

// A text column of the current row; Null stays distinct from empty text.
std::optional<std::u16string> columnText(sqlite3_stmt* statement, int column);

// The blob in `column` of the row `rowid` of `table`, opened for reading. While it is open, the
// connection holds a read transaction.
BlobHandle openBlob(sqlite3* db, const std::string& table, const char* column, long long rowid);
// Points an open blob at another row of the same table, which costs far less than opening anew.
void reopenBlob(sqlite3* db, sqlite3_blob* blob, long long rowid);
int blobBytes(sqlite3_blob* blob) noexcept;
// Reads the first `bytes` bytes of the blob into `into`.
void readBlob(sqlite3* db, sqlite3_blob* blob, void* into, int bytes);

}  // namespace moshitong::sqlite
