#pragma once
// Stores made for a test, each the file `lexi` in a fresh folder of its own: written row by row
// (for rows the builder never writes: Null fields, odd headwords, many duplicates), made by
// hand-written SQL (a table missing, a view that fails when read), or built from the fixture
// excerpts by the real lexi-build. Also a connection of the test's own, for reading a store with
// plain SQL or for damaging it, and whole-file reads and writes.
//
//     const moshitong::testing::TestStore store({{Table::Concise, u"apple", u"n. 苹果"}});
//     moshitong::OpenDictionary(Conn, store.path());

#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store.h"

namespace moshitong::testing {

// A new folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(TempDir&& other) noexcept;
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

struct TempRow {
    moshitong::Table table;
    std::optional<std::u16string> word;
    std::optional<std::u16string> explanation;
};

// The rows of `table` written as the lines of a small table, each "word<TAB>explanation".
std::vector<TempRow> rowsOf(moshitong::Table table, std::u16string_view lines);

// Writes the rows, in order, into the new file `file` with the store's schema and indexes.
void writeStore(const std::filesystem::path& file, const std::vector<TempRow>& rows);
// Runs `sql` on the new file `file`.
void writeStoreSql(const std::filesystem::path& file, std::string_view sql);

class TestStore {
public:
    explicit TestStore(const std::vector<TempRow>& rows);
    // Whatever `sql` makes of an empty database.
    static TestStore fromSql(std::string_view sql);
    // The rows, explanations and order the full store has for the words of the fixture excerpts.
    static TestStore fromFixtures();

    const std::filesystem::path& path() const { return path_; }
    const std::filesystem::path& dir() const { return dir_.path(); }

private:
    explicit TestStore(const std::function<void(const std::filesystem::path&)>& make);

    TempDir dir_;
    std::filesystem::path path_;
};

struct DatabaseCloser {
    void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, DatabaseCloser>;

// Every call below throws StoreError, with SQLite's number and message, when SQLite fails.
// SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE makes a new file.
Database openDatabase(const std::filesystem::path& file, int flags = SQLITE_OPEN_READONLY);
void execute(sqlite3* db, std::string_view sql);

// Each column as UTF-8 text, Null as nullopt.
using TextRow = std::vector<std::optional<std::string>>;
// Every row `sql` selects, with `parameter` (when given) bound to ?1.
std::vector<TextRow> selectRows(sqlite3* db, std::string_view sql,
                                std::optional<std::string_view> parameter = std::nullopt);
// The first column of the first row, as a number.
long long selectNumber(sqlite3* db, std::string_view sql);

std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace moshitong::testing
