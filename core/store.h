#pragma once
// The dictionary store: one read-only SQLite file named `lexi`, the connection `Conn` to it and
// the recordset `Rs` through which every lookup reads rows.
//
// Conventions kept in this file and store.cpp: SQLite binds count from 1, result columns from 0.
// User text never becomes part of SQL text; it is always bound as a parameter, so a quote or a
// semicolon typed into the box is just a character of the query.

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/schema.h"
#include "core/sqlite_handles.h"

namespace moshitong {

// One lookup statement as a value. The user's text stays data; `literal()` renders the statement
// in the classic concatenated form ("select*from 英语单词 where 单词 = 'apple'") for tests and
// error reports only, never for execution.
struct Statement {
    Table table = Table::Concise;
    Column column = Column::Word;
    Match match = Match::Exact;
    std::u16string text;

    std::u16string literal() const;
    bool operator==(const Statement&) const = default;
};

class SubstringIndex;

class Connection {
public:
    Connection();
    ~Connection();
    Connection(Connection&&) noexcept;
    Connection& operator=(Connection&&) noexcept;

    // Opens `file` read-only: a missing file is an error and is never created.
    void Open(const std::filesystem::path& file);
    bool isOpen() const noexcept { return db_ != nullptr; }
    const std::filesystem::path& path() const noexcept { return path_; }
    // For the recordset and for tests that prove the connection refuses writes.
    sqlite3* handle() const noexcept { return db_.get(); }

    // The gram index of a column when the store has one and it is enabled, else nullptr. Switching
    // it off makes every substring search take the plain statement (tests and benchmarks compare
    // the two).
    SubstringIndex* substringIndex(Table table, Column column);
    void setSubstringIndexEnabled(bool enabled) noexcept { indexEnabled_ = enabled; }

    // Reads one more piece of the column images into memory, a fraction of a millisecond of work,
    // so that a search whose text no gram narrows finds them there; false once everything is
    // read. Meant for idle time: the first such search would otherwise wait for the reading.
    bool readAhead();

private:
    struct IndexSlot {
        bool probed = false;
        std::unique_ptr<SubstringIndex> index;
    };
    sqlite::DatabaseHandle db_;
    std::filesystem::path path_;
    // Declared after db_: the indexes' statements are finalized before the database is closed.
    std::array<IndexSlot, kIndexedColumns.size()> indexes_;
    bool readAheadDone_ = false;
    bool indexEnabled_ = true;
};

// The five operations a lookup may use. Field values are text or Null (std::nullopt).
class Recordset {
public:
    virtual ~Recordset() = default;
    virtual void Open(const Statement& source, Connection& Conn) = 0;
    // Exact below kRowCap; a result of more rows reports kRowCap.
    virtual long RecordCount() = 0;
    virtual std::optional<std::u16string> Field(std::u16string_view column) = 0;
    virtual void MoveNext() = 0;
    virtual void Close() = 0;
};

// The recordset over the SQLite store. Open reads the (at most kRowCap) rows at once, in the
// table's insertion order, and releases the statement, so the recordset never holds the file
// busy between lookups.
class SqliteRecordset final : public Recordset {
public:
    void Open(const Statement& source, Connection& Conn) override;
    long RecordCount() override;
    std::optional<std::u16string> Field(std::u16string_view column) override;
    void MoveNext() override;
    void Close() override;
    bool isOpen() const noexcept { return open_; }

private:
    void requireOpen() const;
    std::vector<StoreRow> rows_;
    std::size_t current_ = 0;
    bool open_ = false;
};

// The SQL actually executed for a statement, with the user's text as parameter ?1.
std::string boundSql(const Statement& statement);

// Where the dictionary lies: `lexi` beside the program, else ../share/moshitong/lexi relative to
// the program's folder (an installed tree). When neither exists, the first (so errors name it).
std::filesystem::path defaultDictionaryPath();

// Opens `Conn` on the store and checks that the three tables with their two columns are there,
// so a wrong or damaged file is reported at start-up rather than at the first lookup.
void OpenDictionary(Connection& Conn, const std::filesystem::path& file = defaultDictionaryPath());

}  // namespace moshitong
