#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "core/text.h"
#include "lookup/handlers.h"

namespace moshitong {
namespace {

TEST(DetectDirection, StrictMajorityOfDoubleByteCharacters) {
    const struct {
        std::u16string_view text;
        int direction;
    } cases[] = {
        {u"apple", 2},
        {u"苹果", 1},
        {u"ab中文", 0},
        {u"中文 a", 0},
        {u"ａｂc", 1},
        {u"中文，a", 1},
        {u"ice cream", 2},
        {u"", 0},
        {u"中\r\n", 2},
        {u"\u3000a", 0},
        {u"€中", 0},
        // A character outside the BMP is two lone surrogates to the test: two non-Chinese units.
        {u"中\U0001F34E", 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectDirection(c.text), c.direction) << toUtf8(c.text);
    }
}

TEST(DetectDirection, LongTextsDecideAsShortOnes) {
    std::u16string text(32767, u'中');
    EXPECT_EQ(DetectDirection(text), 1);
    text = std::u16string(40000, u'中') + std::u16string(39999, u'a');
    EXPECT_EQ(DetectDirection(text), 1);
    text += u"a";
    EXPECT_EQ(DetectDirection(text), 0);
    text += u"a";
    EXPECT_EQ(DetectDirection(text), 2);
}

class TranslateTest : public ::testing::Test {
protected:
    void press() { Command4_Click(state, window); }
    LookupState state;
    MemoryWindow window;
};

TEST_F(TranslateTest, FirstPressWithEnglishTextOpensThePanel) {
    window.text = u"apple";
    window.option1 = false, window.option2 = true;
    press();
    EXPECT_EQ(state.Direction, 2);
    EXPECT_TRUE(window.option1);
    EXPECT_FALSE(window.option2);
    EXPECT_TRUE(window.frameVisible);
    EXPECT_EQ(window.caption, u"清 除");
    EXPECT_EQ(state.ClearMode, 1);
    EXPECT_EQ(state.SavedQuery, u"apple");
}

TEST_F(TranslateTest, TidiesLineBreaksAndBothKindsOfSpaceAtTheEnds) {
    window.text = u"  苹果  \r\n";
    press();
    EXPECT_EQ(window.text, u"苹果");
    EXPECT_EQ(state.SavedQuery, u"苹果");
    EXPECT_EQ(state.Direction, 1);

    LookupState fresh;
    MemoryWindow other;
    other.text = u"ice\r\ncream";
    Command4_Click(fresh, other);
    EXPECT_EQ(other.text, u"icecream");

    LookupState third;
    MemoryWindow ime;
    ime.text = u"\u3000苹果\u3000";
    Command4_Click(third, ime);
    EXPECT_EQ(ime.text, u"苹果");
}

TEST_F(TranslateTest, TieTurnsTheButtonButDecidesNothing) {
    state.Direction = 2;
    window.option1 = false, window.option2 = true;
    window.text = u"ab中文";
    press();
    EXPECT_EQ(state.Direction, 2);
    EXPECT_TRUE(window.option2);
    EXPECT_FALSE(window.frameVisible);
    EXPECT_EQ(state.ClearMode, 1);
    EXPECT_EQ(window.caption, u"清 除");
}

TEST_F(TranslateTest, OnlySpacesAndBreaksEmptyTheBoxAndChangeNothingElse) {
    state.SavedQuery = u"old";
    window.text = u" \r\n \r\n  ";
    press();
    EXPECT_EQ(window.text, u"");
    EXPECT_EQ(state.SavedQuery, u"");
    EXPECT_EQ(state.ClearMode, 0);
    EXPECT_EQ(window.caption, u"翻 译");
    EXPECT_FALSE(window.frameVisible);
}

TEST_F(TranslateTest, ClearFaceWithResultOnShowKeepsTheSavedQuery) {
    state = {1, 0, 1, u"apple"};
    window.caption = u"清 除";
    window.text = u"\r\napple\r\n\r\n苹果\r\n\r\n" + std::u16string(kSeparator);
    press();
    EXPECT_EQ(window.text, u"");
    EXPECT_EQ(state.ResultShown, 0);
    EXPECT_EQ(state.ClearMode, 0);
    EXPECT_EQ(state.SavedQuery, u"apple");
    EXPECT_EQ(window.caption, u"翻 译");
    EXPECT_TRUE(window.textHasFocus);
    EXPECT_FALSE(window.frameVisible);
}

TEST_F(TranslateTest, ClearFaceBeforeAnyLookupSavesTheEditedQuery) {
    window.text = u"apple";
    press();
    window.text = u" apples\r\n";
    press();
    EXPECT_EQ(state.SavedQuery, u"apples");
    EXPECT_EQ(window.text, u"");
    EXPECT_FALSE(window.frameVisible);
    EXPECT_EQ(state.Direction, 2);  // the clear face leaves the decision alone
}

TEST_F(TranslateTest, ClearFaceOnAnEmptyBoxWaitsForText) {
    state.ClearMode = 1;
    window.caption = u"清 除";
    state.SavedQuery = u"apple";
    press();
    EXPECT_EQ(state.ClearMode, 1);
    EXPECT_EQ(window.caption, u"清 除");
    EXPECT_EQ(state.SavedQuery, u"");
    window.text = u"more";
    press();
    EXPECT_EQ(state.ClearMode, 0);
    EXPECT_EQ(window.text, u"");
}

TEST_F(TranslateTest, TranslateFaceWhileAResultIsOnShowCountsTheTextUnchanged) {
    state.ResultShown = 1;
    state.SavedQuery = u"kept";
    window.text = u"\r\n苹果\r\n";  // two Chinese against four line-break characters
    press();
    EXPECT_EQ(window.text, u"\r\n苹果\r\n");
    EXPECT_EQ(state.SavedQuery, u"kept");
    EXPECT_EQ(state.Direction, 2);
    EXPECT_FALSE(window.frameVisible);
    EXPECT_EQ(window.caption, u"清 除");
}

// The button goes on past a control that fails, whatever it throws, and never reports.
TEST_F(TranslateTest, FailingStepsAreSkippedSilently) {
    struct FailingWindow final : MemoryWindow {
        void setFrame1Visible(bool) override { throw std::bad_alloc(); }
        void Text1SetFocus() override { throw std::runtime_error("the box cannot take the focus"); }
    } failing;
    failing.text = u"apple";
    Command4_Click(state, failing);
    EXPECT_EQ(state.Direction, 2);
    EXPECT_FALSE(failing.frameVisible);
    EXPECT_EQ(state.ClearMode, 1);
    EXPECT_EQ(failing.caption, kCaptionClear);
    Command4_Click(state, failing);
    EXPECT_EQ(failing.text, u"");
    EXPECT_EQ(state.ResultShown, 0);
    EXPECT_EQ(state.ClearMode, 0);
    EXPECT_EQ(failing.caption, kCaptionTranslate);
    EXPECT_TRUE(failing.errors.empty());
}

// The input box's handlers have no policy of their own: a failure is reported, and a key the lock
// could not judge is discarded, so a listing is never typed into by mistake.
TEST(InputBoxLock, AFailureIsReportedAndTheKeyDiscarded) {
    struct BrokenBox final : MemoryWindow {
        bool Text1Empty() const override { throw std::bad_alloc(); }
        void setText1Text(std::u16string_view) override { throw std::runtime_error("box gone"); }
    } box;
    LookupState state;
    EXPECT_EQ(Text1_KeyPress(state, box, 'a'), KeyVerdict::Discard);
    EXPECT_FALSE(Text1_DblClick(state, box));
    ASSERT_EQ(box.errors.size(), 2u);
    EXPECT_EQ(box.errors[0].number(), 7);
    EXPECT_EQ(box.errors[1].description(), "内部错误：box gone");
}

}  // namespace
}  // namespace moshitong
