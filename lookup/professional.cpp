#include "core/text.h"
#include "lookup/entry.h"
#include "lookup/failure.h"
#include "lookup/handlers.h"

namespace moshitong {

namespace {

// The professional lookup never reports a failure: every step runs under attempt() or holds().

struct Branch {
    int direction;
    Table table;
    bool beeps;
};

constexpr Branch kEnglish{2, Table::English, false};
constexpr Branch kChinese{1, Table::Chinese, true};

// Opens the branch's statement; false when none could be opened.
bool openStatement(const Session& s, const Branch& branch) {
    Statement statement{branch.table, Column::Word, Match::Exact, u""};
    bool chosen = false;
    if (holds([&] { return s.window.Option1Value(); })) {
        chosen = true;
    } else if (holds([&] { return s.window.Option2Value(); })) {
        statement.match = Match::Substring;
        chosen = true;
    }
    // The text is read in the step that opens: a box that cannot be read opens nothing, where
    // a statement with the empty text would match every headword.
    return chosen && attempt([&] {
               statement.text = trimSpaces(s.window.Text1Text());
               s.Rs.Open(statement, s.Conn);
           });
}

// One pass of the loop body; false when the loop must stop after it.
bool listEntry(const Session& s, std::u16string& out, long i) {
    appendEntry(out, s.Rs, [](auto&& head) { attempt(head); });
    attempt([&] { s.Rs.MoveNext(); });
    return i < kRowCap;
}

void listEntries(const Session& s, bool opened) {
    std::u16string out = s.window.Text1Text();
    long n = 0;
    if (attempt([&] { n = s.Rs.RecordCount(); })) {
        for (long i = 1; i <= n && listEntry(s, out, i); ++i) {
        }
    } else if (opened) {
        // The count failed on an open result: the body runs once, the loop is never set up.
        listEntry(s, out, 1);
    }
    // With no statement opened there is nothing to list: the apology follows, not a stray
    // separator.
    attempt([&] { s.window.setText1Text(out); });
}

void runBranch(const Session& s, const Branch& branch) {
    if (!holds([&] { return s.state.Direction == branch.direction; })) {
        return;
    }
    if (!holds([&] { return !s.window.Text1Empty(); })) {
        return;
    }
    const bool opened = openStatement(s, branch);
    attempt([&] { s.window.setText1Text(u""); });
    // The listing is built in memory; when that fails, nothing of it is written.
    attempt([&] { listEntries(s, opened); });
    attempt([&] { s.Rs.Close(); });
    if (holds([&] { return s.window.Text1Empty(); })) {
        attempt([&] { s.window.setText1Text(kApologyEnglish); });
    }
    if (branch.beeps) {
        attempt([&] { s.window.beep(); });
    }
}

}  // namespace

void Command2_Click(const Session& s) {
    attempt([&] { s.window.setFrame1Visible(false); });
    s.state.ResultShown = 1;
    // Trim first, then join lines: spaces before a final line break survive the join, and the
    // statement trims them again.
    attempt([&] { s.window.setText1Text(trimSpaces(s.window.Text1Text())); });
    attempt([&] { s.window.setText1Text(removeCrLfPairs(s.window.Text1Text())); });
    runBranch(s, kEnglish);
    runBranch(s, kChinese);
    s.state.Direction = 0;
    s.state.ResultShown = 1;
}

}  // namespace moshitong
