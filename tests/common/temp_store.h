#pragma once
// A small store written row by row for a test, in a fresh temporary folder. Used where a test
// needs rows the dictionary builder never writes (Null fields, odd headwords, many duplicates).

#include <sqlite3.h>

#include <filesystem>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/schema.h"
#include "core/store.h"
#include "core/text.h"

namespace moshitong::testing {

struct TempRow {
    moshitong::Table table;
    std::optional<std::u16string> word;
    std::optional<std::u16string> explanation;
};

class TempDir {
public:
    TempDir() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("moshitong-test-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void execOrThrow(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message != nullptr ? message : "?";
        sqlite3_free(message);
        throw std::runtime_error(text + " in " + sql);
    }
}

// Writes the rows, in order, into `file` with the store's schema and indexes.
inline void writeStore(const std::filesystem::path& file, const std::vector<TempRow>& rows) {
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot create " + file.string());
    }
    execOrThrow(db, createTablesSql());
    execOrThrow(db, "BEGIN");
    for (const TempRow& row : rows) {
        const std::string sql = "INSERT INTO " + toUtf8(tableName(row.table)) + " VALUES (?1, ?2)";
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
        const auto bind = [&](int index, const std::optional<std::u16string>& value) {
            if (value) {
                sqlite3_bind_text16(statement, index, value->c_str(),
                                    static_cast<int>(value->size() * 2), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_null(statement, index);
            }
        };
        bind(1, row.word);
        bind(2, row.explanation);
        const int rc = sqlite3_step(statement);
        sqlite3_finalize(statement);
        if (rc != SQLITE_DONE) {
            sqlite3_close(db);
            throw std::runtime_error("insert failed");
        }
    }
    execOrThrow(db, "COMMIT");
    execOrThrow(db, createIndexesSql());
    sqlite3_close(db);
}

}  // namespace moshitong::testing
