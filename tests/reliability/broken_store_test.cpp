// A store that is missing or damaged, before the program starts or while it runs. At start-up
// the store layer refuses it with the store's own error; during a lookup the concise lookup
// reports the error and the professional lookup goes on to its apology, and the program keeps
// running either way.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <string>

#include "tests/support/broken_stores.h"
#include "tests/support/lookup_cycle.h"

namespace moshitong {
namespace {

namespace fs = std::filesystem;
using testing::corruptRootPages;
using testing::LookupKind;
using testing::overwrite;
using testing::pageSize;
using testing::Program;
using testing::readFile;
using testing::StartUpCase;
using testing::writeFile;
using testing::writeGoodStore;

constexpr const LookupKind& kConciseExact = testing::kLookupKinds[0];
constexpr const LookupKind& kProfessionalExact = testing::kLookupKinds[2];

class BrokenStoreAtStartUp : public ::testing::TestWithParam<StartUpCase> {};

TEST_P(BrokenStoreAtStartUp, IsRefusedWithTheStoresOwnError) {
    const StartUpCase& c = GetParam();
    const testing::TempDir dir;
    const fs::path file = dir.path() / "lexi";
    c.make(file);
    const bool existed = fs::exists(file);
    const std::string before = existed && fs::is_regular_file(file) ? readFile(file) : "";

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
        EXPECT_EQ(readFile(file), before);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFault, BrokenStoreAtStartUp,
                         ::testing::ValuesIn(testing::startUpCases()),
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
            << p.window.errors.front().description();
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
// over it, goes on answering from what was opened, until the program is started again. (Windows
// refuses both while the file is open; the lookups go on answering all the same.)
TEST_F(StoreChangedWhileRunning, DeletedOrReplacedByRenameKeepsAnsweringFromTheOpenedFile) {
    const std::u16string before = lookUp(u"apple", kConciseExact);
    ASSERT_EQ(before.substr(0, 9), u"\r\napple\r\n");

    std::error_code refused;
    fs::remove(file, refused);
    EXPECT_EQ(lookUp(u"apple", kConciseExact), before);
    EXPECT_EQ(lookUp(u"apple", kProfessionalExact).substr(0, 9), u"\r\napple\r\n");

    writeFile(dir.path() / "junk", std::string(8192, 'x'));
    fs::rename(dir.path() / "junk", file, refused);
    EXPECT_EQ(lookUp(u"apple", kConciseExact), before);
    EXPECT_TRUE(p.window.errors.empty());

    // The next start-up meets whatever now lies there.
    Connection fresh;
    if (refused) {
        EXPECT_NO_THROW(OpenDictionary(fresh, file));
    } else {
        EXPECT_THROW(OpenDictionary(fresh, file), StoreError);
    }
}

}  // namespace
}  // namespace moshitong
