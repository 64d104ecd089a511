#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "core/text.h"
#include "lookup/handlers.h"
#include "tests/support/panel_open.h"

namespace moshitong {
namespace {

using testing::entryText;
using testing::entryWithoutFirstPiece;
using testing::FakeRecordset;
using testing::FakeRow;
using testing::Op;
using testing::opTrace;

class ProfessionalTest : public testing::PanelOpen {
protected:
    void press() override { Command2_Click(session()); }

    // The professional lookup never reports, and never changes the button's face.
    void expectStateAtEnd() {
        expectFinished();
        EXPECT_EQ(state.ClearMode, 1);
        EXPECT_TRUE(window.errors.empty());
    }
};

struct NormaliseCase {
    const char* name;
    std::u16string typed;
    std::u16string box;       // the box after trimming and joining
    std::u16string inserted;  // the text that goes into the statement
};

void PrintTo(const NormaliseCase& c, std::ostream* os) {
    *os << c.name;
}

class ProfessionalNormalise : public ProfessionalTest,
                              public ::testing::WithParamInterface<NormaliseCase> {};

TEST_P(ProfessionalNormalise, WritesTheTidiedTextBackEvenWithoutAQuery) {
    const NormaliseCase& c = GetParam();
    prepare(0, c.typed);
    press();
    EXPECT_EQ(toUtf8(window.text), toUtf8(c.box));
    EXPECT_TRUE(Rs.calls.empty());
    EXPECT_EQ(window.beeps, 0);
    expectStateAtEnd();
}

TEST_P(ProfessionalNormalise, BuildsTheStatementFromTheTidiedTextTrimmedAgain) {
    const NormaliseCase& c = GetParam();
    prepare(2, c.typed);
    press();
    ASSERT_EQ(Rs.statements.size(), 1u);
    EXPECT_EQ(toUtf8(Rs.statements[0].text), toUtf8(c.inserted));
    expectStateAtEnd();
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ProfessionalNormalise,
    ::testing::Values(
        NormaliseCase{"SpacesAtBothEnds", u"  apple  ", u"apple", u"apple"},
        NormaliseCase{"LineBreakPairJoinsThePieces", u"ap\r\nple", u"apple", u"apple"},
        // Trimming comes first, so the space before the final break survives it.
        NormaliseCase{"SpaceBeforeAFinalBreak", u"apple \r\n", u"apple ", u"apple"},
        NormaliseCase{"LoneCarriageReturnStays", u" a\rb ", u"a\rb", u"a\rb"},
        NormaliseCase{"LoneLineFeedStays", u"a\nb", u"a\nb", u"a\nb"},
        NormaliseCase{"LineFeedThenCarriageReturnIsNoPair", u"a\n\rb", u"a\n\rb", u"a\n\rb"},
        NormaliseCase{"PairsJoinAcrossLines", u"ice\r\n\r\ncream\r\n", u"icecream", u"icecream"},
        NormaliseCase{"ASpaceBetweenTwoPairs", u"\r\n \r\n", u" ", u""},
        NormaliseCase{"IdeographicSpaceIsNotTrimmedHere", u"\u3000apple", u"\u3000apple",
                      u"\u3000apple"},
        NormaliseCase{"QuoteIsKept", u" don't ", u"don't", u"don't"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfessionalTest, TextEmptyAfterTidyingRunsNoQueryAndShowsNoApology) {
    for (const std::u16string text : {u"", u"   ", u"\r\n\r\n", u" \r\n "}) {
        prepare(2, text);
        press();
        EXPECT_EQ(window.text, u"") << toUtf8(text);
        EXPECT_TRUE(Rs.calls.empty());
        expectStateAtEnd();
    }
}

using testing::StatementCase;

class ProfessionalStatement : public ProfessionalTest,
                              public ::testing::WithParamInterface<StatementCase> {};

TEST_P(ProfessionalStatement, RendersTheClassicFormAndLeavesTheOptionsAlone) {
    const StatementCase& c = GetParam();
    prepare(c.direction, c.text, c.fuzzy);
    press();
    ASSERT_EQ(Rs.statements.size(), 1u);
    const Statement& s = Rs.statements[0];
    EXPECT_EQ(toUtf8(s.literal()), toUtf8(c.literal));
    EXPECT_EQ(s.table, c.direction == 1 ? Table::Chinese : Table::English);
    EXPECT_EQ(s.column, Column::Word);
    EXPECT_EQ(s.match, c.fuzzy ? Match::Substring : Match::Exact);
    EXPECT_EQ(window.option2, c.fuzzy);
    EXPECT_EQ(window.option1, !c.fuzzy);
    expectStateAtEnd();
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ProfessionalStatement,
    ::testing::Values(StatementCase{"EnglishExact", 2, false, u"  apple  ",
                                    u"select*from 英语单词 where 单词 = 'apple'"},
                      StatementCase{"EnglishSubstringHasTwoSpacesBeforeLike", 2, true, u"app",
                                    u"select*from 英语单词 where 单词  like '%app%'"},
                      StatementCase{"ChineseExactStaysExact", 1, false, u"苹果",
                                    u"select*from 汉语单词 where 单词 = '苹果'"},
                      StatementCase{"ChineseSubstringHasOneSpaceBeforeLike", 1, true, u"苹果",
                                    u"select*from 汉语单词 where 单词 like '%苹果%'"},
                      StatementCase{"ASpaceBetweenTwoPairsMatchesEveryHeadword", 2, true,
                                    u"\r\n \r\n", u"select*from 英语单词 where 单词  like '%%'"},
                      StatementCase{"LoneBreaksPassIntoTheStatement", 1, false, u"苹\r果\n",
                                    u"select*from 汉语单词 where 单词 = '苹\r果\n'"}),
    [](const auto& info) { return std::string(info.param.name); });

using testing::OutcomeCase;

class ProfessionalOutcome : public ProfessionalTest,
                            public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(ProfessionalOutcome, UsesOneApologyAndBeepsForChineseOnly) {
    expectOutcome(GetParam());
    expectStateAtEnd();
}

INSTANTIATE_TEST_SUITE_P(
    Results, ProfessionalOutcome,
    ::testing::Values(
        OutcomeCase{"EnglishNothingFound", 2, {}, u"对不起，没找到这个词儿！", 0},
        OutcomeCase{"ChineseNothingFoundSameApology", 1, {}, u"对不起，没找到这个词儿！", 1},
        OutcomeCase{"EnglishFound", 2, {{u"apple", u"苹果"}}, entryText(u"apple", u"苹果"), 0},
        OutcomeCase{"ChineseFound",
                    1,
                    {{u"苹果", u"apple"}, {u"苹果树", std::nullopt}},
                    entryText(u"苹果", u"apple") + entryText(u"苹果树", u""),
                    1},
        OutcomeCase{"EmptyEntryIsNoApology", 2, {{u"", u""}}, entryText(u"", u""), 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfessionalTest, Lists101Of150RowsThenCloses) {
    std::vector<FakeRow> rows;
    std::u16string expected;
    for (int i = 0; i < 150; ++i) {
        rows.push_back({u"w" + fromUtf8(std::to_string(i)), u"e"});
        if (i < 101) {
            expected += entryText(*rows.back().word, u"e");
        }
    }
    Rs.setRows(rows);
    prepare(2, u"\r\n \r\n", true);
    press();
    EXPECT_EQ(window.text, expected);
    EXPECT_EQ(Rs.rowsRead().size(), 101u);
    EXPECT_TRUE(opTrace(Rs.calls).ends_with("move close")) << opTrace(Rs.calls);
    EXPECT_FALSE(Rs.isOpen());
}

// The continue-on-failure policy, one failing operation at a time. Two rows, "a"/"b" and
// "c"/"d"; every case must still close what it opened, show no report and end in the usual state.
struct FailureCase {
    const char* name;
    int direction;
    std::vector<FakeRow> rows;
    std::function<void(FakeRecordset&, MemoryWindow&)> inject;
    std::u16string text;
    std::string trace;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class ProfessionalFailure : public ProfessionalTest,
                            public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ProfessionalFailure, SkipsTheFailingStepAndGoesOn) {
    const FailureCase& c = GetParam();
    Rs.setRows(c.rows);
    prepare(c.direction);
    c.inject(Rs, window);
    press();
    EXPECT_EQ(toUtf8(window.text), toUtf8(c.text));
    EXPECT_EQ(opTrace(Rs.calls), c.trace);
    EXPECT_EQ(window.beeps, c.direction == 1 ? 1 : 0);
    expectStateAtEnd();
}

const std::vector<FakeRow> kTwoRows = {{u"a", u"b"}, {u"c", u"d"}};
const std::u16string kBoth = entryText(u"a", u"b") + entryText(u"c", u"d");

INSTANTIATE_TEST_SUITE_P(
    Operations, ProfessionalFailure,
    ::testing::Values(
        // Nothing was opened, so nothing can be listed: the apology, not a stray separator.
        FailureCase{"OpenEnglish", 2, kTwoRows, [](auto& rs, auto&) { rs.failAt(Op::Open); },
                    u"对不起，没找到这个词儿！", "open count close"},
        FailureCase{"OpenChinese", 1, kTwoRows, [](auto& rs, auto&) { rs.failAt(Op::Open); },
                    u"对不起，没找到这个词儿！", "open count close"},
        FailureCase{"NeitherOptionSelectedOpensNothing", 2, kTwoRows,
                    [](auto&, auto& w) { w.option1 = w.option2 = false; },
                    u"对不起，没找到这个词儿！", "count close"},
        // The loop was never set up, so its body runs exactly once.
        FailureCase{"CountOnAnOpenResult", 2, kTwoRows,
                    [](auto& rs, auto&) { rs.failAt(Op::Count); }, entryText(u"a", u"b"),
                    "open count field field move close"},
        FailureCase{"CountOnAnOpenEmptyResult",
                    1,
                    {},
                    [](auto& rs, auto&) { rs.failAt(Op::Count); },
                    entryWithoutFirstPiece(),
                    "open count field move close"},
        FailureCase{"HeadwordReadDropsTheWholeFirstPiece", 2, kTwoRows,
                    [](auto& rs, auto&) { rs.failField(u"单词", 0); },
                    entryWithoutFirstPiece() + entryText(u"c", u"d"),
                    "open count field move field field move close"},
        FailureCase{"ExplanationReadDropsTheHeadwordToo", 1, kTwoRows,
                    [](auto& rs, auto&) { rs.failField(u"解释", 1); },
                    entryText(u"a", u"b") + entryWithoutFirstPiece(),
                    "open count field field move field field move close"},
        // A move that fails leaves the row current, so it is listed again.
        FailureCase{"MoveStaysOnTheRow", 2, kTwoRows, [](auto& rs, auto&) { rs.failMoveAt(0); },
                    entryText(u"a", u"b") + entryText(u"a", u"b"),
                    "open count field field move field field move close"},
        FailureCase{"CloseStillShowsTheApology",
                    1,
                    {},
                    [](auto& rs, auto&) { rs.failOnce(Op::Close); },
                    u"对不起，没找到这个词儿！",
                    "open count close"},
        FailureCase{"CloseKeepsTheListing", 2, kTwoRows,
                    [](auto& rs, auto&) { rs.failOnce(Op::Close); }, kBoth,
                    "open count field field move field field move close"},
        // Any exception is skipped as a store failure is.
        FailureCase{"OutOfMemoryInAFieldRead", 2, kTwoRows,
                    [](auto& rs, auto&) {
                        rs.raises = std::make_exception_ptr(std::bad_alloc());
                        rs.failField(u"单词", 0);
                    },
                    entryWithoutFirstPiece() + entryText(u"c", u"d"),
                    "open count field move field field move close"},
        FailureCase{"InternalErrorInOpen", 1, kTwoRows,
                    [](auto& rs, auto&) {
                        rs.raises = std::make_exception_ptr(std::logic_error("no statement"));
                        rs.failAt(Op::Open);
                    },
                    u"对不起，没找到这个词儿！", "open count close"},
        FailureCase{"EveryOperationFailing", 1, kTwoRows,
                    [](auto& rs, auto&) { rs.failWhen = [](const auto&) { return true; }; },
                    u"对不起，没找到这个词儿！", "open count close"}),
    [](const auto& info) { return std::string(info.param.name); });

// Reading the box is part of opening: when the read fails, no statement is opened, rather than
// one with the empty text that would list the first 101 headwords.
TEST_F(ProfessionalTest, ABoxThatCannotBeReadForTheStatementOpensNothing) {
    struct UnreadableBox final : MemoryWindow {
        // The lookup reads the box twice to tidy it; the third read is the statement's.
        std::u16string Text1Text() const override {
            if (++reads == 3) {
                throw std::bad_alloc();
            }
            return text;
        }
        mutable int reads = 0;
    } box;
    box.text = u"apple";
    box.frameVisible = true;
    state.Direction = 2;
    state.ClearMode = 1;
    Rs.setRows(kTwoRows);
    Command2_Click(Session{state, box, Rs, Conn});
    EXPECT_TRUE(Rs.statements.empty());
    EXPECT_EQ(opTrace(Rs.calls), "count close");
    EXPECT_EQ(toUtf8(box.text), toUtf8(kApologyEnglish));
    EXPECT_TRUE(box.errors.empty());
}

TEST_F(ProfessionalTest, AFailedLookupLeavesTheRecordsetReadyForTheNext) {
    Rs.setRows(kTwoRows);
    Rs.failAt(Op::Count);
    prepare(2);
    press();
    EXPECT_FALSE(Rs.isOpen());
    Rs.neverFail();
    prepare(2);
    press();
    EXPECT_EQ(window.text, kBoth);
}

}  // namespace
}  // namespace moshitong
