// The store is only ever read: a full run of lookups, every hostile input included, leaves the
// file byte for byte as it was and adds no file beside it, and the connection refuses every kind
// of write, including those that would create a new file.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "tests/support/hostile_inputs.h"
#include "tests/support/lookup_cycle.h"
#include "tests/support/temp_store.h"

namespace moshitong {
namespace {

namespace fs = std::filesystem;
using testing::Program;

// FNV-1a over the whole file: any changed byte changes it.
std::uint64_t checksum(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::uint64_t hash = 14695981039346656037ull;
    for (char c; in.get(c);) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return hash;
}

std::set<std::string> filesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class ReadOnlyStore : public ::testing::Test {
protected:
    void SetUp() override {
        sum = checksum(store);
        modified = fs::last_write_time(store);
        files = filesIn(fixture.dir());
    }

    void expectUntouched() const {
        EXPECT_EQ(checksum(store), sum);
        EXPECT_EQ(fs::last_write_time(store), modified);
        EXPECT_EQ(filesIn(fixture.dir()), files) << "a file appeared beside the store";
    }

    const testing::TestStore fixture = testing::TestStore::fromFixtures();
    const fs::path& store = fixture.path();
    std::uint64_t sum = 0;
    fs::file_time_type modified;
    std::set<std::string> files;
};

TEST_F(ReadOnlyStore, AFullRunOfLookupsLeavesItByteForByteAsItWas) {
    std::vector<std::u16string> queries = {u"apple", u"Apple", u"app", u"苹果", u"中国", u"a"};
    for (const auto& hostile : testing::hostileInputs()) {
        queries.push_back(hostile.text);
    }
    {
        Program p;
        OpenDictionary(p.Conn, store);
        int listed = 0;
        for (const std::u16string& query : queries) {
            for (const auto& kind : testing::kLookupKinds) {
                testing::translateAndLookUp(p, query, kind);
                listed += p.window.text.ends_with(kSeparator) ? 1 : 0;
                Command4_Click(p.state, p.window);
                Command4_Click(p.state, p.window);
            }
        }
        EXPECT_TRUE(p.window.errors.empty());
        // The run must have read rows, not just met apologies.
        EXPECT_GT(listed, 10);
        expectUntouched();
    }
    expectUntouched();
}

TEST_F(ReadOnlyStore, TheConnectionRefusesEveryKindOfWrite) {
    const std::string beside = fixture.dir().string() + "/";
    const std::string writes[] = {
        "INSERT INTO 英语单词 VALUES ('x', 'y')",
        "UPDATE 英语单词 SET 解释 = '' WHERE 单词 = 'apple'",
        "DELETE FROM 简明英语单词",
        "DROP TABLE 英语单词",
        "CREATE TABLE x (a)",
        "CREATE INDEX x ON 汉语单词 (解释)",
        "ALTER TABLE 汉语单词 ADD COLUMN x",
        "PRAGMA user_version = 7",
        "PRAGMA journal_mode = WAL",
        "VACUUM",
        "REINDEX",
        "ANALYZE",
        // These two would write a new file beside the store.
        "ATTACH '" + beside + "other' AS other",
        "VACUUM INTO '" + beside + "copy'",
    };
    Connection Conn;
    OpenDictionary(Conn, store);
    for (const std::string& sql : writes) {
        EXPECT_NE(sqlite3_exec(Conn.handle(), sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sql;
    }
    expectUntouched();
    // Still a working connection.
    SqliteRecordset Rs;
    Rs.Open(Statement{Table::English, Column::Word, Match::Exact, u"apple"}, Conn);
    EXPECT_EQ(Rs.RecordCount(), 1);
    Rs.Close();
}

}  // namespace
}  // namespace moshitong
