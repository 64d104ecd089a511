#include <gtest/gtest.h>

#include "core/text.h"
#include "lookup/handlers.h"
#include "tests/support/fake_recordset.h"
#include "tests/support/hostile_inputs.h"
#include "tests/support/lookup_cycle.h"

namespace moshitong {
namespace {

using testing::entryText;
using testing::kLookupKinds;

// The whole cycle of typing, translating, looking up and clearing, on a real store file.
class StoreCycle : public ::testing::Test {
protected:
    void SetUp() override { OpenDictionary(p.Conn, testing::hostileStore()); }

    testing::Program p;
};

TEST_F(StoreCycle, TypeTranslateLookUpAndClear) {
    testing::translateAndLookUp(p, u" Apple\r\n", kLookupKinds[0]);
    EXPECT_EQ(toUtf8(p.window.text), toUtf8(entryText(u"apple", u"n. 苹果")));
    EXPECT_EQ(p.window.beeps, 1);
    EXPECT_EQ(p.state.ResultShown, 1);
    EXPECT_EQ(p.state.Direction, 0);
    EXPECT_EQ(p.window.caption, kCaptionClear);

    Command4_Click(p.state, p.window);
    EXPECT_EQ(p.window.text, u"");
    EXPECT_EQ(p.state.ResultShown, 0);
    EXPECT_EQ(p.state.ClearMode, 0);
    EXPECT_EQ(p.window.caption, kCaptionTranslate);
    EXPECT_EQ(p.state.SavedQuery, u"Apple");
    EXPECT_FALSE(p.Rs.isOpen());
}

TEST_F(StoreCycle, AHundredAndFiftyMatchesList101InStoreOrder) {
    testing::translateAndLookUp(p, u"many", kLookupKinds[1]);
    std::u16string expected;
    for (int i = 0; i < 101; ++i) {
        const std::u16string n = fromUtf8(std::to_string(i));
        expected += entryText(u"many" + n, u"多" + n);
    }
    EXPECT_EQ(p.window.text, expected);
}

// A space between two line-break pairs survives the translate press only when typed after it;
// the professional lookup then searches for "%%", which every headword but a Null one matches.
TEST_F(StoreCycle, EmptySubstringListsTheFirst101HeadwordsThatAreNotNull) {
    p.window.text = u"apple";
    Command4_Click(p.state, p.window);
    p.window.selectOption2();
    p.window.text = u"\r\n \r\n";
    Command2_Click(p.session());

    std::u16string expected = entryText(u"apple", u"苹果") + entryText(u"don't", u"不要") +
                              entryText(u"100%", u"百分之百") +
                              entryText(u"\U0001F34E", u"苹果符号");
    for (int i = 0; i < 97; ++i) {
        const std::u16string n = fromUtf8(std::to_string(i));
        expected += entryText(u"many" + n, u"多" + n);
    }
    EXPECT_EQ(p.window.text, expected);
}

}  // namespace
}  // namespace moshitong
