#include <gtest/gtest.h>

#include "core/text.h"
#include "lookup/handlers.h"
#include "tests/common/temp_store.h"
#include "tests/lookup/fake_recordset.h"

namespace moshitong {
namespace {

using testing::entryText;
using testing::TempDir;
using testing::TempRow;

// The whole cycle of typing, translating, looking up and clearing, on a real store file.
class StoreCycle : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<TempRow> rows = {
            {Table::Concise, u"apple", u"n. 苹果"},     {Table::Concise, u"don't", u"不要"},
            {Table::Concise, u"nothing", std::nullopt}, {Table::English, std::nullopt, u"无词头"},
            {Table::English, u"apple", u"苹果"},        {Table::Chinese, u"苹果", u"apple"},
            {Table::Chinese, u"苹果树", u"apple tree"}, {Table::Chinese, u"大苹果", u"big apple"},
        };
        for (int i = 0; i < 150; ++i) {
            const std::u16string n = fromUtf8(std::to_string(i));
            rows.push_back({Table::Concise, u"many" + n, u"多 " + n});
            rows.push_back({Table::English, u"z" + n, u"e"});
        }
        testing::writeStore(dir.path() / "lexi", rows);
        OpenDictionary(Conn, dir.path() / "lexi");
    }

    // Types the text, presses "翻 译", picks the option and presses the lookup button.
    void lookUp(std::u16string typed, bool fuzzy, bool professional) {
        window.text = std::move(typed);
        Command4_Click(state, window);
        if (fuzzy) {
            window.selectOption2();
        }
        const Session session{state, window, Rs, Conn};
        professional ? Command2_Click(session) : Command3_Click(session);
    }

    TempDir dir;
    Connection Conn;
    SqliteRecordset Rs;
    LookupState state;
    MemoryWindow window;
};

TEST_F(StoreCycle, TypeTranslateLookUpAndClear) {
    lookUp(u" Apple\r\n", false, false);
    EXPECT_EQ(toUtf8(window.text), toUtf8(entryText(u"apple", u"n. 苹果")));
    EXPECT_EQ(window.beeps, 1);
    EXPECT_EQ(state.ResultShown, 1);
    EXPECT_EQ(state.Direction, 0);
    EXPECT_EQ(window.caption, kCaptionClear);

    Command4_Click(state, window);
    EXPECT_EQ(window.text, u"");
    EXPECT_EQ(state.ResultShown, 0);
    EXPECT_EQ(state.ClearMode, 0);
    EXPECT_EQ(window.caption, kCaptionTranslate);
    EXPECT_EQ(state.SavedQuery, u"Apple");
    EXPECT_FALSE(Rs.isOpen());
}

TEST_F(StoreCycle, ResultsOfEachLookup) {
    const std::u16string tree = entryText(u"苹果树", u"apple tree");
    const struct {
        std::u16string typed;
        bool fuzzy;
        bool professional;
        std::u16string text;
    } cases[] = {
        {u"don't", false, false, entryText(u"don't", u"不要")},
        {u"nothing", false, false, entryText(u"nothing", u"")},
        {u"苹果", false, false, entryText(u"apple", u"n. 苹果")},
        {u"pear", false, false, std::u16string(kApologyEnglish)},
        {u"梨子", false, false, std::u16string(kApologyChinese)},
        {u"APPLE", false, true, entryText(u"apple", u"苹果")},
        {u"苹果", false, true, entryText(u"苹果", u"apple")},
        {u"苹果", true, true,
         entryText(u"苹果", u"apple") + tree + entryText(u"大苹果", u"big apple")},
        {u"梨子", true, true, std::u16string(kApologyEnglish)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.typed));
        lookUp(c.typed, c.fuzzy, c.professional);
        EXPECT_EQ(toUtf8(window.text), toUtf8(c.text));
        Command4_Click(state, window);
        EXPECT_EQ(window.text, u"");
    }
}

TEST_F(StoreCycle, AHundredAndFiftyMatchesList101InStoreOrder) {
    lookUp(u"many", true, false);
    std::u16string expected;
    for (int i = 0; i < 101; ++i) {
        const std::u16string n = fromUtf8(std::to_string(i));
        expected += entryText(u"many" + n, u"多 " + n);
    }
    EXPECT_EQ(window.text, expected);
}

// A space between two line-break pairs survives the translate press only when typed after it;
// the professional lookup then searches for "%%", which every headword but a Null one matches.
TEST_F(StoreCycle, EmptySubstringListsTheFirst101HeadwordsThatAreNotNull) {
    window.text = u"apple";
    Command4_Click(state, window);
    window.selectOption2();
    window.text = u"\r\n \r\n";
    Command2_Click(Session{state, window, Rs, Conn});

    std::u16string expected = entryText(u"apple", u"苹果");
    for (int i = 0; i < 100; ++i) {
        expected += entryText(u"z" + fromUtf8(std::to_string(i)), u"e");
    }
    EXPECT_EQ(window.text, expected);
}

}  // namespace
}  // namespace moshitong
