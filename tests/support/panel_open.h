#pragma once
// The window as the translate press leaves it, for the tests of the two lookup buttons: the panel
// open, the decided direction and the option the user picked afterwards, with the rows served by
// a FakeRecordset.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/text.h"
#include "lookup/handlers.h"
#include "tests/support/fake_recordset.h"

namespace moshitong::testing {

// A press of a lookup button and the statement it must run: the text in the box, the direction
// and the option decided before, the statement's classic form and (where a test checks it
// field by field) the statement itself.
struct StatementCase {
    const char* name;
    int direction;
    bool fuzzy;
    std::u16string text;
    std::u16string literal;
    Statement statement{};
};

inline void PrintTo(const StatementCase& c, std::ostream* os) {
    *os << c.name;
}

// A lookup of the rows the store serves and what the user is shown: the box's text and the
// beeps.
struct OutcomeCase {
    const char* name;
    int direction;
    std::vector<FakeRow> rows;
    std::u16string text;
    int beeps = 1;  // every lookup ends with a beep but where a case says otherwise
};

inline void PrintTo(const OutcomeCase& c, std::ostream* os) {
    *os << c.name;
}

class PanelOpen : public ::testing::Test {
protected:
    void prepare(int direction, std::u16string text, bool fuzzy = false) {
        state.Direction = direction;
        state.ClearMode = 1;
        window.text = std::move(text);
        window.frameVisible = true;
        window.caption = std::u16string(kCaptionClear);
        fuzzy ? window.selectOption2() : window.selectOption1();
    }
    // A query in the language of `direction`.
    void prepare(int direction) { prepare(direction, direction == 1 ? u"苹果" : u"apple"); }

    Session session() { return Session{state, window, Rs, Conn}; }
    // The lookup button of the suite.
    virtual void press() = 0;

    // Runs the lookup of `c` with the store serving its rows; the rows are read and closed, as
    // on any lookup that did not fail.
    void expectOutcome(const OutcomeCase& c) {
        Rs.setRows(c.rows);
        prepare(c.direction);
        press();
        EXPECT_EQ(toUtf8(window.text), toUtf8(c.text));
        EXPECT_EQ(window.beeps, c.beeps);
        EXPECT_EQ(Rs.countOf(Op::Close), 1u);
        EXPECT_FALSE(Rs.isOpen());
    }

    // Whatever happened inside, a lookup ends the same way: the decision used up, the result
    // on show (the box locked) and the panel hidden.
    void expectFinished() {
        EXPECT_EQ(state.Direction, 0);
        EXPECT_EQ(state.ResultShown, 1);
        EXPECT_FALSE(window.frameVisible);
    }

    LookupState state;
    MemoryWindow window;
    FakeRecordset Rs;
    Connection Conn;
};

}  // namespace moshitong::testing
