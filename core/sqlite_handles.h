#pragma once
// SQLite handles and checks shared by the store and its substring index (not part of the store's
// interface). Binds count from 1, result columns from 0.

#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>

#include "core/store.h"

namespace moshitong::sqlite {

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// The store's own number and text for the last failure on `db`; `code` when there is no `db`.
[[noreturn]] inline void throwStoreError(sqlite3* db, int code = SQLITE_ERROR) {
    if (db == nullptr) {
        throw StoreError(code, sqlite3_errstr(code));
    }
    throw StoreError(sqlite3_extended_errcode(db), sqlite3_errmsg(db));
}

// `flags` as for sqlite3_prepare_v3: SQLITE_PREPARE_PERSISTENT for statements kept for reuse.
inline StatementHandle prepare(sqlite3* db, const std::string& sql, unsigned flags = 0) {
    sqlite3_stmt* raw = nullptr;
    const int rc =
        sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()), flags, &raw, nullptr);
    StatementHandle statement(raw);
    if (rc != SQLITE_OK) {
        throwStoreError(db, rc);
    }
    return statement;
}

// A text column of the current row; Null stays distinct from empty text.
inline std::optional<std::u16string> columnText(sqlite3_stmt* statement, int column) {
    if (sqlite3_column_type(statement, column) == SQLITE_NULL) {
        return std::nullopt;
    }
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(statement, column));
    const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes16(statement, column));
    return text == nullptr ? std::u16string{} : std::u16string(text, bytes / sizeof(char16_t));
}

}  // namespace moshitong::sqlite
