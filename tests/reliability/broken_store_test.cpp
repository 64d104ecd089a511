// A store that is missing or damaged, before the program starts or while it runs. At start-up
// the store layer refuses it with the store's own error; during a lookup the concise lookup
// reports the error and the professional lookup goes on to its apology, and the program keeps
// running either way.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "tests/reliability/cycle.h"

namespace moshitong {
namespace {

namespace fs = std::filesystem;
using testing::LookupKind;
using testing::Program;

constexpr const LookupKind& kConciseExact = testing::kLookupKinds[0];
constexpr const LookupKind& kProfessionalExact = testing::kLookupKinds[2];

void writeBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Overwrites bytes in place, as a disk fault or a half-finished copy would: same file, same inode.
void overwrite(const fs::path& file, std::size_t offset, const std::string& bytes) {
    std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(static_cast<std::streamoff>(offset));
    out << bytes;
}

void writeGoodStore(const fs::path& file) {
    testing::writeStore(file, testing::hostileStoreRows());
}

void writeStoreWithSchema(const fs::path& file, const char* schema) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    testing::execOrThrow(db, schema);
    sqlite3_close(db);
}

std::size_t number(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    sqlite3_step(statement);
    const auto value = static_cast<std::size_t>(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    return value;
}

std::size_t pageSize(const fs::path& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    const std::size_t size = number(db, "PRAGMA page_size");
    sqlite3_close(db);
    return size;
}

// Garbage in place of the root page of each named table. The change counter in the header moves
// on as a writer's would, so a running reader knows its cached pages are stale.
void corruptRootPages(const fs::path& file, std::initializer_list<Table> tables) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    const std::size_t size = number(db, "PRAGMA page_size");
    std::vector<std::size_t> roots;
    for (const Table table : tables) {
        roots.push_back(number(db, "SELECT rootpage FROM sqlite_schema WHERE name = '" +
                                       toUtf8(tableName(table)) + "'"));
    }
    sqlite3_close(db);
    for (const std::size_t root : roots) {
        overwrite(file, (root - 1) * size, std::string(size, '\xA5'));
    }
    overwrite(file, 24, std::string("\x7F\x7F\x7F\x7F", 4));
}

struct StartUpCase {
    const char* name;
    std::function<void(const fs::path&)> make;
    int code;          // the primary SQLite result code
    const char* says;  // part of the store's description
};

void PrintTo(const StartUpCase& c, std::ostream* out) {
    *out << c.name;
}

std::vector<StartUpCase> startUpCases() {
    return {
        {"Missing", [](const fs::path&) {}, SQLITE_CANTOPEN, "unable to open"},
        {"Folder", [](const fs::path& f) { fs::create_directory(f); }, SQLITE_IOERR,
         "disk I/O error"},
        {"Empty", [](const fs::path& f) { writeBytes(f, ""); }, SQLITE_ERROR,
         "no such table: 简明英语单词"},
        {"NotADatabase",
         [](const fs::path& f) { writeBytes(f, std::string(8192, 'x') + "apple,苹果\n"); },
         SQLITE_NOTADB, "not a database"},
        {"TableMissing",
         [](const fs::path& f) {
             writeStoreWithSchema(f,
                                  "CREATE TABLE 简明英语单词 (单词 TEXT, 解释 TEXT);"
                                  "CREATE TABLE 英语单词 (单词 TEXT, 解释 TEXT);");
         },
         SQLITE_ERROR, "no such table: 汉语单词"},
        {"ColumnMissing",
         [](const fs::path& f) {
             writeStoreWithSchema(f,
                                  "CREATE TABLE 简明英语单词 (单词 TEXT, 解释 TEXT);"
                                  "CREATE TABLE 英语单词 (单词 TEXT, 释义 TEXT);"
                                  "CREATE TABLE 汉语单词 (单词 TEXT, 解释 TEXT);");
         },
         SQLITE_ERROR, "no such column: 解释"},
        {"Truncated",
         [](const fs::path& f) {
             writeGoodStore(f);
             fs::resize_file(f, fs::file_size(f) / 2);
         },
         SQLITE_CORRUPT, "malformed"},
        {"HeaderOnly",
         [](const fs::path& f) {
             writeGoodStore(f);
             fs::resize_file(f, 100);
         },
         SQLITE_CORRUPT, "malformed"},
        {"FirstPageCorrupted",
         [](const fs::path& f) {
             writeGoodStore(f);
             overwrite(f, 0, std::string(pageSize(f), '\xA5'));
         },
         SQLITE_NOTADB, "not a database"},
    };
}

class BrokenStoreAtStartUp : public ::testing::TestWithParam<StartUpCase> {};

TEST_P(BrokenStoreAtStartUp, IsRefusedWithTheStoresOwnError) {
    const StartUpCase& c = GetParam();
    const testing::TempDir dir;
    const fs::path file = dir.path() / "lexi";
    c.make(file);
    const bool existed = fs::exists(file);
    const std::string before = existed && fs::is_regular_file(file) ? readBytes(file) : "";

    Connection Conn;
    try {
        OpenDictionary(Conn, file);
        FAIL() << "the broken store was accepted";
    } catch (const StoreError& error) {
        EXPECT_EQ(error.number() & 0xFF, c.code) << error.what();
        EXPECT_NE(error.description().find(c.says), std::string::npos) << error.what();
    }
    EXPECT_FALSE(Conn.isOpen());
    // Refusing the file leaves it as it was: a missing store is not created, a broken one not
    // repaired.
    EXPECT_EQ(fs::exists(file), existed);
    if (existed && fs::is_regular_file(file)) {
        EXPECT_EQ(readBytes(file), before);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFault, BrokenStoreAtStartUp, ::testing::ValuesIn(startUpCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct RunningCase {
    const char* name;
    std::function<void(const fs::path&)> breakIt;
    int code;  // what the concise lookup reports
};

void PrintTo(const RunningCase& c, std::ostream* out) {
    *out << c.name;
}

std::vector<RunningCase> runningCases() {
    return {
        {"OverwrittenWithText",
         [](const fs::path& f) { overwrite(f, 0, std::string(fs::file_size(f), 'x')); },
         SQLITE_NOTADB},
        {"EmptiedInPlace", [](const fs::path& f) { fs::resize_file(f, 0); }, SQLITE_ERROR},
        {"TruncatedInPlace", [](const fs::path& f) { fs::resize_file(f, 2 * pageSize(f)); },
         SQLITE_CORRUPT},
        {"TablePagesCorrupted",
         [](const fs::path& f) {
             corruptRootPages(f, {Table::Concise, Table::English, Table::Chinese});
         },
         SQLITE_CORRUPT},
    };
}

class BrokenWhileRunning : public ::testing::TestWithParam<RunningCase> {
protected:
    void SetUp() override {
        writeGoodStore(file);
        OpenDictionary(p.Conn, file);
        // A first lookup works and warms the store's page cache, as in a session under way.
        testing::translateAndLookUp(p, u"apple", kConciseExact);
        ASSERT_EQ(p.window.text.substr(0, 9), u"\r\napple\r\n");
        Command4_Click(p.state, p.window);
        GetParam().breakIt(file);
    }

    testing::TempDir dir;
    fs::path file = dir.path() / "lexi";
    Program p;
};

TEST_P(BrokenWhileRunning, ConciseLookupReportsTheErrorAndTheProgramGoesOn) {
    for (int round = 0; round < 2; ++round) {
        ASSERT_NO_THROW(testing::translateAndLookUp(p, u"apple", kConciseExact));
        ASSERT_EQ(p.window.errors.size(), 1u) << "round " << round;
        EXPECT_EQ(p.window.errors.front().number() & 0xFF, GetParam().code)
            << p.window.errors.front().what();
        EXPECT_FALSE(p.window.errors.front().description().empty());
        // The lookup stopped at the failure: the query stays, nothing beeps, the state is as
        // after any lookup, and "清 除" clears as usual.
        EXPECT_EQ(p.window.text, u"apple");
        EXPECT_EQ(p.window.beeps, 1);
        EXPECT_EQ(p.state.Direction, 0);
        EXPECT_EQ(p.state.ResultShown, 1);
        EXPECT_FALSE(p.Rs.isOpen());
        Command4_Click(p.state, p.window);
        EXPECT_TRUE(p.window.text.empty());
        EXPECT_EQ(p.state.ResultShown, 0);
        p.window.errors.clear();
    }
}

TEST_P(BrokenWhileRunning, ProfessionalLookupGoesOnSilentlyToTheApology) {
    int beeps = p.window.beeps;
    for (const std::u16string_view query : {u"apple", u"苹果"}) {
        ASSERT_NO_THROW(testing::translateAndLookUp(p, query, kProfessionalExact));
        EXPECT_TRUE(p.window.errors.empty());
        EXPECT_EQ(p.window.text, kApologyEnglish);
        // Only the Chinese lookup beeps, found or not.
        EXPECT_EQ(p.window.beeps - beeps, query == u"苹果" ? 1 : 0);
        beeps = p.window.beeps;
        EXPECT_EQ(p.state.Direction, 0);
        EXPECT_EQ(p.state.ResultShown, 1);
        EXPECT_FALSE(p.Rs.isOpen());
        Command4_Click(p.state, p.window);
        EXPECT_TRUE(p.window.text.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFault, BrokenWhileRunning, ::testing::ValuesIn(runningCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace moshitong

namespace moshitong {
namespace {

class StoreChangedWhileRunning : public ::testing::Test {
protected:
    void SetUp() override {
        writeGoodStore(file);
        OpenDictionary(p.Conn, file);
    }
    std::u16string lookUp(std::u16string_view query, const LookupKind& kind) {
        testing::translateAndLookUp(p, query, kind);
        std::u16string shown = p.window.text;
        Command4_Click(p.state, p.window);
        return shown;
    }

    testing::TempDir dir;
    fs::path file = dir.path() / "lexi";
    Program p;
};

TEST_F(StoreChangedWhileRunning, OneCorruptedTableLeavesTheOthersWorking) {
    corruptRootPages(file, {Table::Concise});
    lookUp(u"apple", kConciseExact);
    ASSERT_EQ(p.window.errors.size(), 1u);
    EXPECT_EQ(p.window.errors.front().number() & 0xFF, SQLITE_CORRUPT);
    EXPECT_EQ(lookUp(u"apple", kProfessionalExact).substr(0, 9), u"\r\napple\r\n");
    EXPECT_EQ(lookUp(u"苹果", kProfessionalExact).substr(0, 6), u"\r\n苹果\r\n");
    EXPECT_EQ(p.window.errors.size(), 1u);
}

// The program holds the file it opened: a store deleted, or replaced by renaming another file
// over it, goes on answering from what was opened, until the program is started again.
TEST_F(StoreChangedWhileRunning, DeletedOrReplacedByRenameKeepsAnsweringFromTheOpenedFile) {
    const std::u16string before = lookUp(u"apple", kConciseExact);
    ASSERT_EQ(before.substr(0, 9), u"\r\napple\r\n");

    fs::remove(file);
    EXPECT_EQ(lookUp(u"apple", kConciseExact), before);
    EXPECT_EQ(lookUp(u"apple", kProfessionalExact).substr(0, 9), u"\r\napple\r\n");

    writeBytes(dir.path() / "junk", std::string(8192, 'x'));
    fs::rename(dir.path() / "junk", file);
    EXPECT_EQ(lookUp(u"apple", kConciseExact), before);
    EXPECT_TRUE(p.window.errors.empty());

    // The next start-up meets the replacement.
    Connection fresh;
    EXPECT_THROW(OpenDictionary(fresh, file), StoreError);
}

}  // namespace
}  // namespace moshitong
