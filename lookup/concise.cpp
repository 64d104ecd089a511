#include "core/text.h"
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

void closeQuietly(Recordset& Rs) {
    try {
        Rs.Close();
    } catch (const StoreError&) {
        // Not open: nothing to release.
    }
}

}  // namespace

void Command3_Click(const Session& s) {
    s.window.setFrame1Visible(false);
    s.state.ResultShown = 1;
    try {
        if (s.state.Direction == 2 && !s.window.Text1Text().empty()) {
            englishLookup(s);
        }
        if (s.state.Direction == 1 && !s.window.Text1Text().empty()) {
            chineseLookup(s);
        }
    } catch (const StoreError& error) {
        // A store failure is reported and ends this lookup, never the program. The recordset is
        // released so that the next lookup can open it again.
        closeQuietly(s.Rs);
        s.window.reportError(error);
    }
    s.state.Direction = 0;
    s.state.ResultShown = 1;
}

}  // namespace moshitong
