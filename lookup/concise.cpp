#include "core/text.h"
#include "lookup/failure.h"
#include "lookup/handlers.h"

namespace moshitong {

namespace {

void englishLookup(const Session& s) {
    const std::u16string text = s.window.Text1Text();
    Statement statement{Table::Concise, Column::Word, Match::Exact, text};
    if (s.window.Option1Value()) {
        statement.match = Match::Exact;
    } else if (s.window.Option2Value()) {
        statement.match = Match::Substring;
    }
    s.Rs.Open(statement, s.Conn);
    s.window.setText1Text(u"");
    ResultListing(s.Rs, s.window);
    s.Rs.Close();
    ShowApologyIfEmpty(s.window, kApologyEnglish);
    s.window.beep();
}

void chineseLookup(const Session& s) {
    // Chinese input is looked up in the explanations, so only a substring search makes sense.
    s.window.selectOption2();
    const Statement statement{Table::Concise, Column::Explanation, Match::Substring,
                              trimSpaces(s.window.Text1Text())};
    s.Rs.Open(statement, s.Conn);
    s.window.setText1Text(u"");
    ResultListing(s.Rs, s.window);
    ShowApologyIfEmpty(s.window, kApologyChinese);
    s.window.beep();
    s.Rs.Close();
}

}  // namespace

void Command3_Click(const Session& s) {
    try {
        s.window.setFrame1Visible(false);
        s.state.ResultShown = 1;
        if (s.state.Direction == 2 && !s.window.Text1Empty()) {
            englishLookup(s);
        }
        if (s.state.Direction == 1 && !s.window.Text1Empty()) {
            chineseLookup(s);
        }
    } catch (...) {
        // A failure is reported and ends this lookup, never the program. The recordset is
        // released first (if it is not open, there is nothing to release), so that the next
        // lookup can open it again.
        attempt([&] { s.Rs.Close(); });
        reportCurrentException(s.window);
    }
    s.state.Direction = 0;
    s.state.ResultShown = 1;
}

}  // namespace moshitong
