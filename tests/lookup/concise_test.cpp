#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <utility>

#include "core/text.h"
#include "lookup/failure.h"
#include "lookup/handlers.h"
#include "tests/support/panel_open.h"

namespace moshitong {
namespace {

using testing::entryText;
using testing::FakeRecordset;
using testing::FakeRow;
using testing::injectedErrorNumber;
using testing::Op;
using testing::opTrace;

class ConciseTest : public testing::PanelOpen {
protected:
    void press() override { Command3_Click(session()); }

    // The concise lookup closes what it opened even when the lookup failed.
    void expectStateAtEnd() {
        expectFinished();
        EXPECT_FALSE(Rs.isOpen());
    }
};

using testing::StatementCase;

class ConciseStatement : public ConciseTest, public ::testing::WithParamInterface<StatementCase> {};

TEST_P(ConciseStatement, RendersTheClassicFormAndBindsTheText) {
    const StatementCase& c = GetParam();
    prepare(c.direction, c.text, c.fuzzy);
    press();
    ASSERT_EQ(Rs.statements.size(), 1u);
    EXPECT_EQ(toUtf8(Rs.statements[0].literal()), toUtf8(c.literal));
    EXPECT_EQ(Rs.statements[0], c.statement);
    expectStateAtEnd();
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ConciseStatement,
    ::testing::Values(
        StatementCase{"EnglishExact",
                      2,
                      false,
                      u"apple",
                      u"select*from 简明英语单词 where 单词 = 'apple'",
                      {Table::Concise, Column::Word, Match::Exact, u"apple"}},
        StatementCase{"EnglishSubstringHasTwoSpacesBeforeLike",
                      2,
                      true,
                      u"app",
                      u"select*from 简明英语单词 where 单词  like '%app%'",
                      {Table::Concise, Column::Word, Match::Substring, u"app"}},
        StatementCase{"ChineseIsAlwaysASubstringSearchOfTheExplanation",
                      1,
                      false,
                      u"苹果",
                      u"select*from 简明英语单词 where 解释  like '%苹果%'",
                      {Table::Concise, Column::Explanation, Match::Substring, u"苹果"}},
        StatementCase{"ChineseTextIsTrimmedOfSpaces",
                      1,
                      true,
                      u"  苹果 ",
                      u"select*from 简明英语单词 where 解释  like '%苹果%'",
                      {Table::Concise, Column::Explanation, Match::Substring, u"苹果"}},
        StatementCase{"EnglishTextGoesInUnchanged",
                      2,
                      false,
                      u" ice cream ",
                      u"select*from 简明英语单词 where 单词 = ' ice cream '",
                      {Table::Concise, Column::Word, Match::Exact, u" ice cream "}},
        StatementCase{"AQuoteIsJustACharacter",
                      2,
                      false,
                      u"don't",
                      u"select*from 简明英语单词 where 单词 = 'don't'",
                      {Table::Concise, Column::Word, Match::Exact, u"don't"}},
        StatementCase{"WildcardsTypedByTheUserStayInTheText",
                      2,
                      true,
                      u"a_%",
                      u"select*from 简明英语单词 where 单词  like '%a_%%'",
                      {Table::Concise, Column::Word, Match::Substring, u"a_%"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConciseTest, ChineseInputSelectsOption2) {
    prepare(1);
    press();
    EXPECT_TRUE(window.option2);
    EXPECT_FALSE(window.option1);
}

TEST_F(ConciseTest, EnglishInputLeavesTheOptionsAlone) {
    for (const bool fuzzy : {false, true}) {
        prepare(2, u"apple", fuzzy);
        press();
        EXPECT_EQ(window.option2, fuzzy);
        EXPECT_EQ(window.option1, !fuzzy);
    }
}

using testing::OutcomeCase;

class ConciseOutcome : public ConciseTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(ConciseOutcome, ListsOrApologisesAndBeepsOnce) {
    expectOutcome(GetParam());
    EXPECT_TRUE(window.errors.empty());
    expectStateAtEnd();
}

INSTANTIATE_TEST_SUITE_P(
    Results, ConciseOutcome,
    ::testing::Values(
        OutcomeCase{"EnglishNothingFound", 2, {}, u"对不起，没找到这个词儿！"},
        OutcomeCase{"ChineseNothingFound", 1, {}, u"对不起，没找到这个词！"},
        OutcomeCase{"EnglishFound", 2, {{u"apple", u"苹果"}}, entryText(u"apple", u"苹果")},
        OutcomeCase{"ChineseFound",
                    1,
                    {{u"apple", u"苹果"}, {u"pineapple", u"凤梨，菠萝"}},
                    entryText(u"apple", u"苹果") + entryText(u"pineapple", u"凤梨，菠萝")},
        OutcomeCase{"EmptyEntryIsNoApology", 2, {{u"", u""}}, entryText(u"", u"")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConciseTest, NoDecisionOrNoTextOnlyHidesThePanelAndLocksTheBox) {
    const struct {
        int direction;
        std::u16string text;
    } cases[] = {{0, u"apple"}, {0, u""}, {2, u""}, {1, u""}, {3, u"apple"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.direction);
        prepare(c.direction, c.text);
        state.ResultShown = 0;
        press();
        EXPECT_TRUE(Rs.calls.empty());
        EXPECT_EQ(window.text, c.text);
        EXPECT_EQ(window.beeps, 0);
        EXPECT_TRUE(window.option1);
        expectStateAtEnd();
    }
}

TEST_F(ConciseTest, ASecondPressWithoutTranslatingRunsNoQuery) {
    Rs.setRows({{u"apple", u"苹果"}});
    prepare(2);
    press();
    const std::u16string listing = window.text;
    press();
    EXPECT_EQ(Rs.statements.size(), 1u);
    EXPECT_EQ(window.text, listing);
    EXPECT_EQ(window.beeps, 1);
}

// A store failure stops the lookup at the failing operation: it is reported once, nothing after
// it runs, and the state still ends as a finished lookup leaves it, so "清 除" and the next
// lookup work.
struct FailureCase {
    const char* name;
    int direction;
    std::vector<FakeRow> rows;
    std::function<void(FakeRecordset&)> inject;
    Op failing;
    std::u16string text;  // what the box shows afterwards
    int beeps;
    std::string trace;  // the recordset calls made, the failing one included
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class ConciseFailure : public ConciseTest, public ::testing::WithParamInterface<FailureCase> {};

const std::vector<FakeRow> kTwoRows = {{u"a", u"b"}, {u"c", u"d"}};

TEST_P(ConciseFailure, IsReportedOnceAndEndsTheLookupCleanly) {
    const FailureCase& c = GetParam();
    Rs.setRows(c.rows);
    c.inject(Rs);
    prepare(c.direction);
    press();

    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_EQ(window.errors[0].number(), injectedErrorNumber(c.failing));
    EXPECT_EQ(toUtf8(window.text), toUtf8(c.text));
    EXPECT_EQ(window.beeps, c.beeps);
    EXPECT_EQ(opTrace(Rs.calls), c.trace);
    expectStateAtEnd();

    // "清 除" empties and unlocks the box as after any lookup, and the next lookup runs as if
    // nothing had happened.
    if (!window.text.empty()) {
        Command4_Click(state, window);
        EXPECT_EQ(window.text, u"");
        EXPECT_EQ(state.ResultShown, 0);
        EXPECT_EQ(window.caption, kCaptionTranslate);
    }
    Rs.neverFail();
    Rs.setRows({{u"apple", u"苹果"}});
    prepare(2);
    press();
    EXPECT_EQ(window.text, entryText(u"apple", u"苹果"));
    EXPECT_EQ(window.errors.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, ConciseFailure,
    ::testing::Values(FailureCase{"EnglishOpen", 2, kTwoRows, [](auto& rs) { rs.failAt(Op::Open); },
                                  Op::Open, u"apple", 0, "open close"},
                      FailureCase{"ChineseOpen", 1, kTwoRows, [](auto& rs) { rs.failAt(Op::Open); },
                                  Op::Open, u"苹果", 0, "open close"},
                      FailureCase{"Count", 2, kTwoRows, [](auto& rs) { rs.failAt(Op::Count); },
                                  Op::Count, u"", 0, "open count close"},
                      FailureCase{"FirstFieldOfFirstRow", 2, kTwoRows,
                                  [](auto& rs) { rs.failField(u"单词", 0); }, Op::Field, u"", 0,
                                  "open count field close"},
                      FailureCase{"ExplanationOfSecondRow", 2, kTwoRows,
                                  [](auto& rs) { rs.failField(u"解释", 1); }, Op::Field,
                                  entryText(u"a", u"b"), 0,
                                  "open count field field move field field close"},
                      FailureCase{"MoveAfterSecondEntryIsAppended", 1, kTwoRows,
                                  [](auto& rs) { rs.failMoveAt(1); }, Op::Move,
                                  entryText(u"a", u"b") + entryText(u"c", u"d"), 0,
                                  "open count field field move field field move close"},
                      FailureCase{"EnglishCloseComesBeforeTheApologyAndTheBeep",
                                  2,
                                  {},
                                  [](auto& rs) { rs.failOnce(Op::Close); },
                                  Op::Close,
                                  u"",
                                  0,
                                  "open count close close"},
                      FailureCase{"ChineseCloseComesAfterTheApologyAndTheBeep",
                                  1,
                                  {},
                                  [](auto& rs) { rs.failOnce(Op::Close); },
                                  Op::Close,
                                  u"对不起，没找到这个词！",
                                  1,
                                  "open count close close"}),
    [](const auto& info) { return std::string(info.param.name); });

// Failures that are not the store's are reported the same way, under their own number and text,
// and end the lookup just as cleanly.
TEST_F(ConciseTest, AnyFailureIsReportedAsItsRunTimeError) {
    Rs.setRows(kTwoRows);
    Rs.failField(u"解释", 1);
    const std::pair<std::exception_ptr, int> failures[] = {
        {std::make_exception_ptr(std::bad_alloc()), 7},
        {std::make_exception_ptr(std::runtime_error("stack exhausted")), 51},
    };
    for (const auto& [failure, number] : failures) {
        Rs.raises = failure;
        window.errors.clear();
        prepare(2, u"apple");
        ASSERT_NO_THROW(press());
        ASSERT_EQ(window.errors.size(), 1u);
        EXPECT_EQ(window.errors[0].number(), number);
        EXPECT_EQ(window.text, entryText(u"a", u"b"));
        expectStateAtEnd();
    }
}

TEST(RunTimeErrorOf, NumberAndTextForEachKindOfFailure) {
    const struct {
        std::exception_ptr failure;
        int number;
        std::string description;
    } cases[] = {
        {std::make_exception_ptr(StoreError(11, "database disk image is malformed")), 11,
         "database disk image is malformed"},
        {std::make_exception_ptr(std::bad_alloc()), 7, "内存不足"},
        {std::make_exception_ptr(std::bad_array_new_length()), 7, "内存不足"},
        {std::make_exception_ptr(std::out_of_range("basic_string::substr")), 51,
         "内部错误：basic_string::substr"},
        {std::make_exception_ptr(42), 51, "内部错误"},
    };
    for (const auto& c : cases) {
        const RunTimeError error = runTimeErrorOf(c.failure);
        EXPECT_EQ(error.number(), c.number) << c.description;
        EXPECT_EQ(error.description(), c.description);
    }
}

}  // namespace
}  // namespace moshitong
