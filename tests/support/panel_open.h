#pragma once
// The window as the translate press leaves it, for the tests of the two lookup buttons: the panel
// open, the decided direction and the option the user picked afterwards, with the rows served by
// a FakeRecordset.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

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
