#pragma once
// The lookup cycle on a real store, as the user runs it: the lookup kinds a user can choose, one
// full cycle of typing, translating and looking up, a reader for the listing's layout, and a watch
// on every statement the connection runs.

#include <sqlite3.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"
#include "lookup/handlers.h"

namespace moshitong::testing {

struct LookupKind {
    const char* name;
    bool professional;
    bool fuzzy;
};

inline void PrintTo(const LookupKind& kind, std::ostream* out) {
    *out << kind.name;
}

inline constexpr LookupKind kLookupKinds[] = {
    {"ConciseExact", false, false},
    {"ConciseFuzzy", false, true},
    {"ProfessionalExact", true, false},
    {"ProfessionalFuzzy", true, true},
};

// The program's state around one store connection.
struct Program {
    Connection Conn;
    SqliteRecordset Rs;
    LookupState state;
    MemoryWindow window;

    Session session() { return Session{state, window, Rs, Conn}; }
};

// One cycle as the user runs it: type, "翻 译", pick the option if the panel opened, press the
// lookup. Returns the direction the translate press decided (0 when the panel stayed closed, so
// no lookup could run). "清 除" is left to the caller, so the result can be inspected first.
inline int translateAndLookUp(Program& p, std::u16string_view typed, const LookupKind& kind) {
    p.window.text = typed;
    Command4_Click(p.state, p.window);
    const int direction = p.window.frameVisible ? p.state.Direction : 0;
    if (direction != 0 && kind.fuzzy) {
        p.window.selectOption2();
    }
    kind.professional ? Command2_Click(p.session()) : Command3_Click(p.session());
    return direction;
}

// The apology a lookup shows when nothing matched.
inline std::u16string_view apologyFor(const LookupKind& kind, int direction) {
    return !kind.professional && direction == 1 ? kApologyChinese : kApologyEnglish;
}

struct Entry {
    std::u16string word;
    std::u16string explanation;
    bool operator==(const Entry&) const = default;
};

// The entries of a listing: each an empty line, the headword, a blank line, the explanation, a
// blank line and the separator. nullopt when the text has any other shape.
inline std::optional<std::vector<Entry>> readListing(std::u16string_view text) {
    std::vector<std::u16string_view> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(kCrLf, start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::u16string_view::npos) {
            break;
        }
        start = end + kCrLf.size();
    }
    if (lines.size() < 6 || !lines.front().empty() || (lines.size() - 1) % 5 != 0) {
        return std::nullopt;
    }
    std::vector<Entry> entries;
    for (std::size_t i = 1; i < lines.size(); i += 5) {
        if (!lines[i + 1].empty() || !lines[i + 3].empty() || lines[i + 4] != kSeparator) {
            return std::nullopt;
        }
        entries.push_back({std::u16string(lines[i]), std::u16string(lines[i + 2])});
    }
    return entries;
}

// Records every statement the connection runs and every action its statements ask for, for as
// long as it lives.
class StatementWatch {
public:
    explicit StatementWatch(sqlite3* db) : db_(db) {
        sqlite3_trace_v2(db_, SQLITE_TRACE_STMT, &StatementWatch::onStatement, this);
        sqlite3_set_authorizer(db_, &StatementWatch::onAction, this);
    }
    ~StatementWatch() {
        sqlite3_trace_v2(db_, 0, nullptr, nullptr);
        sqlite3_set_authorizer(db_, nullptr, nullptr);
    }
    StatementWatch(const StatementWatch&) = delete;
    StatementWatch& operator=(const StatementWatch&) = delete;

    std::vector<std::string> statements;  // the SQL text of each statement run, as prepared
    std::vector<int> actions;             // authorizer action codes other than reading

private:
    static int onStatement(unsigned, void* self, void* statement, void*) {
        const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
        static_cast<StatementWatch*>(self)->statements.emplace_back(sql != nullptr ? sql : "");
        return 0;
    }
    static int onAction(void* self, int action, const char*, const char*, const char*,
                        const char*) {
        if (action != SQLITE_SELECT && action != SQLITE_READ && action != SQLITE_FUNCTION) {
            static_cast<StatementWatch*>(self)->actions.push_back(action);
        }
        return SQLITE_OK;
    }

    sqlite3* db_;
};

}  // namespace moshitong::testing
