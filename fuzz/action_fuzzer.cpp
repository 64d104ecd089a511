// Arbitrary bytes as a sequence of user actions on the window: text put into the box (any UTF-16,
// lone surrogates included, up to 60,000 units), the option buttons, "翻 译"/"清 除", "简明查询",
// "专业查询", key presses and double-clicks in the box. The real handlers run them over the store
// built from the fixtures, and after every step the invariants below must hold. Only what an
// accepted key types into the box is this harness's own: that is the text box's work.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"
#include "fuzz/fuzz_input.h"
#include "lookup/handlers.h"

namespace moshitong {
namespace {

[[noreturn]] void violated(std::string_view invariant) {
    std::fprintf(stderr, "invariant violated: %.*s\n", static_cast<int>(invariant.size()),
                 invariant.data());
    std::abort();
}

void require(bool holds, std::string_view invariant) {
    if (!holds) {
        violated(invariant);
    }
}

// The real recordset, with a record of what the lookup asked of it: the statement, the count and
// every field read, so the listing in the box can be checked against the rows themselves.
class WatchedRecordset final : public Recordset {
public:
    void Open(const Statement& source, Connection& Conn) override {
        statements.push_back(source);
        inner_.Open(source, Conn);
    }
    long RecordCount() override {
        counts.push_back(inner_.RecordCount());
        return counts.back();
    }
    std::optional<std::u16string> Field(std::u16string_view column) override {
        auto value = inner_.Field(column);
        fields.push_back(value.value_or(u""));
        return value;
    }
    void MoveNext() override { inner_.MoveNext(); }
    void Close() override { inner_.Close(); }
    bool isOpen() const { return inner_.isOpen(); }

    void forget() {
        statements.clear();
        counts.clear();
        fields.clear();
    }

    std::vector<Statement> statements;
    std::vector<long> counts;
    std::vector<std::u16string> fields;

private:
    SqliteRecordset inner_;
};

struct Program {
    LookupState state;
    MemoryWindow window;
    WatchedRecordset Rs;
    // The saved query as last found tidied: it is checked again only once a handler changes it.
    std::u16string checkedQuery;
};

Connection& sharedConnection() {
    static Connection Conn;
    return Conn;
}

using fuzzing::Reader;

// Long enough to pass the old 16-bit length (32,767) and SQLite's own 50,000-byte LIKE limit even
// in ASCII; the megabyte itself is the unit tests' business, as every step on it costs the fuzzer
// a second. Kept under 64 Ki units: a larger text is 128 KiB, past which the address sanitizer
// maps fresh pages for every copy of it, and the handlers copy the box's text at every step.
constexpr std::size_t kLongestText = 60000;
// A script ends a few steps after its box first holds more than this: every step on a long text
// costs what dozens of short ones do, and the steps that matter on it (a lookup, a key, the
// double-click) need no long run of others after them. Without this end, the few scripts that grow
// a long text took nine tenths of the fuzzer's time.
constexpr std::size_t kLongText = 4096;
constexpr int kStepsOnALongText = 3;
// A repeat count byte from this value up says that three more bytes give the count.
constexpr std::size_t kLongRepeat = 0xFC;

// Words the fixture store knows, so that lookups find something often.
constexpr std::u16string_view kStockQueries[] = {
    u"apple", u"Apple", u"app", u"苹果", u"中国",    u"a", u"the",          u"%",     u"_",
    u"run",   u"de",    u"好",  u"人",   u"o'clock", u"'", u"  apple \r\n", u"苹 果", u"\u3000中国",
};

// The shared state holds only its allowed values, the caption follows ClearMode, the options are
// one exclusive pair, the panel is open only between a deciding translate press and the lookup,
// and the saved query is tidied.
void checkState(Program& p) {
    const LookupState& s = p.state;
    require(s.ResultShown == 0 || s.ResultShown == 1, "ResultShown is 0 or 1");
    require(s.Direction >= 0 && s.Direction <= 2, "Direction is 0, 1 or 2");
    require(s.ClearMode == 0 || s.ClearMode == 1, "ClearMode is 0 or 1");
    require(p.window.caption == (s.ClearMode == 1 ? kCaptionClear : kCaptionTranslate),
            "the caption follows ClearMode");
    require(p.window.option1 != p.window.option2, "exactly one option is selected");
    require(!p.window.frameVisible || (s.ClearMode == 1 && s.Direction != 0),
            "the panel is open only after a deciding translate press");
    require(!p.Rs.isOpen(), "the recordset is closed between handlers");
    const std::u16string& q = s.SavedQuery;
    if (q != p.checkedQuery) {
        require(q.find_first_of(u"\r\n") == std::u16string::npos,
                "the saved query has no line break");
        require(q.empty() || (q.front() != u' ' && q.front() != u'\u3000' && q.back() != u' ' &&
                              q.back() != u'\u3000'),
                "the saved query is trimmed");
        p.checkedQuery = q;
    }
    require(p.window.errors.empty(), "no lookup on a sound store reports an error");
}

void appendEntry(std::u16string& out, std::u16string_view word, std::u16string_view explanation) {
    out += kCrLf;
    out += word;
    out += kCrLf;
    out += kCrLf;
    out += explanation;
    out += kCrLf;
    out += kCrLf;
    out += kSeparator;
}

// After a lookup that ran its statement: one statement, of the right table, column and match, on
// the right text; the box holds exactly the entries of the rows read, at most 101, or the apology
// when there were none.
void checkLookup(const Program& p, bool professional, int direction, bool option1,
                 const std::u16string& text) {
    require(p.Rs.statements.size() == 1, "a lookup opens one statement");
    const Statement& st = p.Rs.statements.front();
    if (professional) {
        require(st.table == (direction == 2 ? Table::English : Table::Chinese),
                "professional table");
        require(st.column == Column::Word, "professional lookups search headwords");
        require(st.match == (option1 ? Match::Exact : Match::Substring), "the option decides");
        require(st.text == trimSpaces(removeCrLfPairs(trimSpaces(text))), "professional text");
    } else if (direction == 2) {
        require(st.table == Table::Concise && st.column == Column::Word, "concise English");
        require(st.match == (option1 ? Match::Exact : Match::Substring), "the option decides");
        require(st.text == text, "the concise English text is the box's, unchanged");
    } else {
        require(st.table == Table::Concise && st.column == Column::Explanation, "concise Chinese");
        require(st.match == Match::Substring, "Chinese concise lookups are substring searches");
        require(st.text == trimSpaces(text), "concise Chinese text");
        require(p.window.option2, "a Chinese concise lookup selects Option2");
    }
    require(p.Rs.counts.size() == 1, "the count is read once");
    const long n = p.Rs.counts.front();
    require(n >= 0 && n <= kRowCap, "the count is capped");
    require(p.Rs.fields.size() == 2 * static_cast<std::size_t>(n), "two fields per listed row");
    if (n == 0) {
        const bool conciseChinese = !professional && direction == 1;
        require(p.window.text == (conciseChinese ? kApologyChinese : kApologyEnglish),
                "nothing listed: the apology");
        return;
    }
    std::u16string expected;
    expected.reserve(p.window.text.size());
    for (std::size_t i = 0; i < p.Rs.fields.size(); i += 2) {
        appendEntry(expected, p.Rs.fields[i], p.Rs.fields[i + 1]);
    }
    require(p.window.text == expected, "the box holds exactly the entries of the rows read");
}

template <typename Handler>
void guarded(Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "exception escaped a handler: %s\n", error.what());
        std::abort();
    } catch (...) {
        violated("no exception escapes a handler");
    }
}

void pressLookup(Program& p, bool professional) {
    const int direction = p.state.Direction;
    const bool option1 = p.window.option1;
    const std::u16string text = p.window.text;
    const int beeps = p.window.beeps;
    p.Rs.forget();
    const Session session{p.state, p.window, p.Rs, sharedConnection()};
    guarded([&] { professional ? Command2_Click(session) : Command3_Click(session); });

    require(p.state.Direction == 0, "Direction is 0 after every lookup");
    require(p.state.ResultShown == 1, "ResultShown is 1 after every lookup");
    require(!p.window.frameVisible, "a lookup hides the panel");
    const std::u16string looked = professional ? removeCrLfPairs(trimSpaces(text)) : text;
    const bool ran = (direction == 1 || direction == 2) && !looked.empty();
    if (!ran) {
        require(p.Rs.statements.empty(), "no statement without a direction and a text");
        require(p.window.beeps == beeps, "no beep without a lookup");
        require(p.window.text == looked, "the box keeps its text when nothing is looked up");
        return;
    }
    checkLookup(p, professional, direction, option1, text);
    const bool beeped = !professional || direction == 1;
    require(p.window.beeps == beeps + (beeped ? 1 : 0), "the beeps sound where they should");
}

// A character key through the box's lock, then, when accepted, what it types: Backspace
// deletes, Enter breaks the line. False when it ends the program.
bool pressKey(Program& p, char16_t key) {
    const KeyVerdict verdict = Text1_KeyPress(p.state, p.window, key);
    if (verdict != KeyVerdict::Accept) {
        return verdict != KeyVerdict::EndProgram;
    }
    if (key == 8) {
        if (!p.window.text.empty()) {
            p.window.text.pop_back();
        }
    } else if (key == 13) {
        p.window.text += kCrLf;
    } else {
        p.window.text += key;
    }
    return true;
}

// Returns false when the action ends the program.
bool act(Program& p, Reader& in) {
    switch (in.byte() % 13) {
        case 0:
            p.window.text = in.units(in.byte());
            break;
        case 1:
            p.window.text = fromUtf8(in.bytes(in.byte()));
            break;
        case 2: {
            // One unit repeated, after what the box held: a few times, or (rarely, as every
            // later step on a long text costs the fuzzer what many short ones do) up to
            // kLongestText times.
            const char16_t unit = in.unit();
            std::size_t count = in.byte();
            if (count >= kLongRepeat) {
                count = in.byte();
                count |= std::size_t{in.byte()} << 8;
                count |= std::size_t{in.byte()} << 16;
                count %= kLongestText;
            }
            // Longer texts add nothing new and would only slow every later step. Built in a
            // string of its exact length: one grown in place may double past kLongestText.
            const std::size_t length = std::min(p.window.text.size() + count, kLongestText);
            std::u16string grown;
            grown.reserve(length);
            grown.append(p.window.text, 0, length);
            grown.append(length - grown.size(), unit);
            p.window.text = std::move(grown);
            break;
        }
        case 3:
            p.window.text += in.units(in.byte() % 16);
            break;
        case 4:
            p.window.selectOption1();
            break;
        case 5:
            p.window.selectOption2();
            break;
        case 6:
            guarded([&] { Command4_Click(p.state, p.window); });
            break;
        case 7:
            pressLookup(p, false);
            break;
        case 8:
            pressLookup(p, true);
            break;
        case 9:
            return pressKey(p, in.unit());
        case 10:
            Text1_DblClick(p.state, p.window);
            break;
        case 11:
            p.window.text.clear();  // emptied through the box's own context menu
            break;
        case 12:
            p.window.text = kStockQueries[in.byte() % std::size(kStockQueries)];
            break;
    }
    return true;
}

}  // namespace
}  // namespace moshitong

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static const moshitong::fuzzing::FixtureStore store("fuzz");
    moshitong::OpenDictionary(moshitong::sharedConnection(), store.path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    moshitong::Program p;
    moshitong::Reader in(data, size);
    int stepsOnALongText = 0;
    while (!in.done() && moshitong::act(p, in)) {
        moshitong::checkState(p);
        // Counted from the first long text on, so that emptying the box does not start it over.
        if (stepsOnALongText > 0 || p.window.text.size() > moshitong::kLongText) {
            if (++stepsOnALongText > moshitong::kStepsOnALongText) {
                break;
            }
        }
    }
    return 0;
}
