#include "tests/support/temp_store.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <utility>

#include "core/schema.h"
#include "core/sqlite_handles.h"
#include "core/text.h"
#include "tests/support/fixture_store.h"

namespace moshitong::testing {

namespace {

void bindText(sqlite3* db, sqlite3_stmt* statement, int index,
              const std::optional<std::u16string>& value) {
    const int rc = value ? sqlite3_bind_text16(statement, index, value->data(),
                                               static_cast<int>(value->size() * sizeof(char16_t)),
                                               SQLITE_TRANSIENT)
                         : sqlite3_bind_null(statement, index);
    if (rc != SQLITE_OK) {
        sqlite::throwStoreError(db, rc);
    }
}

}  // namespace

TempDir::TempDir() {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() /
            ("moshitong-test-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(path_);
}

TempDir::TempDir(TempDir&& other) noexcept : path_(std::exchange(other.path_, {})) {
}

TempDir::~TempDir() {
    if (!path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
}

Database openDatabase(const std::filesystem::path& file, int flags) {
    sqlite3* raw = nullptr;
    const std::u8string name = file.u8string();
    const int rc =
        sqlite3_open_v2(reinterpret_cast<const char*>(name.c_str()), &raw, flags, nullptr);
    // A failed open still hands back a handle that carries the message and must be closed.
    Database db(raw);
    if (rc != SQLITE_OK) {
        sqlite::throwStoreError(db.get(), rc);
    }
    return db;
}

void execute(sqlite3* db, std::string_view sql) {
    if (sqlite3_exec(db, std::string(sql).c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite::throwStoreError(db);
    }
}

std::vector<TextRow> selectRows(sqlite3* db, std::string_view sql,
                                std::optional<std::string_view> parameter) {
    const sqlite::StatementHandle statement = sqlite::prepare(db, std::string(sql));
    if (parameter &&
        sqlite3_bind_text(statement.get(), 1, parameter->data(),
                          static_cast<int>(parameter->size()), SQLITE_TRANSIENT) != SQLITE_OK) {
        sqlite::throwStoreError(db);
    }
    std::vector<TextRow> rows;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
        TextRow& row = rows.emplace_back();
        for (int column = 0; column < sqlite3_column_count(statement.get()); ++column) {
            const auto text = sqlite::columnText(statement.get(), column);
            row.push_back(text ? std::optional(toUtf8(*text)) : std::nullopt);
        }
    }
    if (rc != SQLITE_DONE) {
        sqlite::throwStoreError(db, rc);
    }
    return rows;
}

long long selectNumber(sqlite3* db, std::string_view sql) {
    const sqlite::StatementHandle statement = sqlite::prepare(db, std::string(sql));
    const int rc = sqlite3_step(statement.get());
    if (rc != SQLITE_ROW) {
        sqlite::throwStoreError(db, rc == SQLITE_DONE ? SQLITE_ERROR : rc);
    }
    return sqlite3_column_int64(statement.get(), 0);
}

std::vector<TempRow> rowsOf(Table table, std::u16string_view lines) {
    std::vector<TempRow> rows;
    while (!lines.empty()) {
        const std::size_t end = std::min(lines.find(u'\n'), lines.size());
        const std::u16string_view line = lines.substr(0, end);
        const std::size_t tab = line.find(u'\t');
        rows.push_back(
            {table, std::u16string(line.substr(0, tab)), std::u16string(line.substr(tab + 1))});
        lines.remove_prefix(std::min(end + 1, lines.size()));
    }
    return rows;
}

void writeStore(const std::filesystem::path& file, const std::vector<TempRow>& rows) {
    const Database db = openDatabase(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    execute(db.get(), createTablesSql().c_str());
    execute(db.get(), "BEGIN");
    for (const TempRow& row : rows) {
        const sqlite::StatementHandle insert = sqlite::prepare(
            db.get(), "INSERT INTO " + toUtf8(tableName(row.table)) + " VALUES (?1, ?2)");
        bindText(db.get(), insert.get(), 1, row.word);
        bindText(db.get(), insert.get(), 2, row.explanation);
        const int rc = sqlite3_step(insert.get());
        if (rc != SQLITE_DONE) {
            sqlite::throwStoreError(db.get(), rc);
        }
    }
    execute(db.get(), "COMMIT");
    execute(db.get(), createIndexesSql().c_str());
}

void writeStoreSql(const std::filesystem::path& file, std::string_view sql) {
    execute(openDatabase(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE).get(), sql);
}

TestStore::TestStore(const std::function<void(const std::filesystem::path&)>& make)
    : path_(dir_.path() / "lexi") {
    make(path_);
}

TestStore::TestStore(const std::vector<TempRow>& rows)
    : TestStore([&](const std::filesystem::path& file) { writeStore(file, rows); }) {
}

TestStore TestStore::fromSql(std::string_view sql) {
    return TestStore([&](const std::filesystem::path& file) { writeStoreSql(file, sql); });
}

TestStore TestStore::fromFixtures() {
    return TestStore([](const std::filesystem::path& file) { buildFixtureStore(file); });
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace moshitong::testing
