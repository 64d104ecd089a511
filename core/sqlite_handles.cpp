#include "core/sqlite_handles.h"

#include <sqlite3.h>

namespace moshitong::sqlite {

namespace {

void check(sqlite3_stmt* statement, int rc) {
    if (rc != SQLITE_OK) {
        throwStoreError(sqlite3_db_handle(statement), rc);
    }
}

int byteSize(std::size_t units, std::size_t unitSize) {
    return static_cast<int>(units * unitSize);
}

}  // namespace

void DatabaseCloser::operator()(sqlite3* db) const noexcept {
    sqlite3_close_v2(db);
}

void StatementFinalizer::operator()(sqlite3_stmt* statement) const noexcept {
    sqlite3_finalize(statement);
}

void BlobCloser::operator()(sqlite3_blob* blob) const noexcept {
    sqlite3_blob_close(blob);
}

void throwStoreError(sqlite3* db) {
    throw StoreError(sqlite3_extended_errcode(db), sqlite3_errmsg(db));
}

void throwStoreError(sqlite3* db, int code) {
    if (db == nullptr) {
        throw StoreError(code, sqlite3_errstr(code));
    }
    throwStoreError(db);
}

DatabaseHandle open(const std::filesystem::path& file, int flags) {
    sqlite3* raw = nullptr;
    // SQLite takes UTF-8 names everywhere; a path's native form is UTF-16 on Windows.
    const std::u8string name = file.u8string();
    const int rc =
        sqlite3_open_v2(reinterpret_cast<const char*>(name.c_str()), &raw, flags, nullptr);
    DatabaseHandle db(raw);
    if (rc != SQLITE_OK) {
        throwStoreError(db.get(), rc);
    }
    sqlite3_extended_result_codes(db.get(), 1);
    return db;
}

void exec(sqlite3* db, const std::string& sql) {
    if (const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr); rc != SQLITE_OK) {
        throwStoreError(db, rc);
    }
}

StatementHandle prepare(sqlite3* db, const std::string& sql, unsigned flags) {
    sqlite3_stmt* raw = nullptr;
    const int rc =
        sqlite3_prepare_v3(db, sql.c_str(), byteSize(sql.size(), 1), flags, &raw, nullptr);
    StatementHandle statement(raw);
    if (rc != SQLITE_OK) {
        throwStoreError(db, rc);
    }
    return statement;
}

void bindText(sqlite3_stmt* statement, int index, std::u16string_view text) {
    // A null pointer would bind Null.
    const char16_t* units = text.empty() ? u"" : text.data();
    check(statement,
          sqlite3_bind_text16(statement, index, units, byteSize(text.size(), sizeof(char16_t)),
                              SQLITE_TRANSIENT));
}

void bindText(sqlite3_stmt* statement, int index, std::string_view utf8) {
    const char* bytes = utf8.empty() ? "" : utf8.data();
    check(statement,
          sqlite3_bind_text(statement, index, bytes, byteSize(utf8.size(), 1), SQLITE_TRANSIENT));
}

void bindBlob(sqlite3_stmt* statement, int index, std::string_view bytes) {
    const char* data = bytes.empty() ? "" : bytes.data();
    check(statement,
          sqlite3_bind_blob(statement, index, data, byteSize(bytes.size(), 1), SQLITE_TRANSIENT));
}

void bindInt(sqlite3_stmt* statement, int index, long long value) {
    check(statement, sqlite3_bind_int64(statement, index, value));
}

bool step(sqlite3_stmt* statement) {
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        throwStoreError(sqlite3_db_handle(statement), rc);
    }
    return rc == SQLITE_ROW;
}

std::optional<std::u16string> columnText(sqlite3_stmt* statement, int column) {
    if (sqlite3_column_type(statement, column) == SQLITE_NULL) {
        return std::nullopt;
    }
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(statement, column));
    const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes16(statement, column));
    return text == nullptr ? std::u16string{} : std::u16string(text, bytes / sizeof(char16_t));
}

BlobHandle openBlob(sqlite3* db, const std::string& table, const char* column, long long rowid) {
    sqlite3_blob* raw = nullptr;
    const int rc = sqlite3_blob_open(db, "main", table.c_str(), column, rowid, 0, &raw);
    BlobHandle blob(raw);
    if (rc != SQLITE_OK) {
        throwStoreError(db, rc);
    }
    return blob;
}

void reopenBlob(sqlite3* db, sqlite3_blob* blob, long long rowid) {
    if (const int rc = sqlite3_blob_reopen(blob, rowid); rc != SQLITE_OK) {
        throwStoreError(db, rc);
    }
}

int blobBytes(sqlite3_blob* blob) noexcept {
    return sqlite3_blob_bytes(blob);
}

void readBlob(sqlite3* db, sqlite3_blob* blob, void* into, int bytes) {
    if (const int rc = sqlite3_blob_read(blob, into, bytes, 0); rc != SQLITE_OK) {
        throwStoreError(db, rc);
    }
}

}  // namespace moshitong::sqlite
