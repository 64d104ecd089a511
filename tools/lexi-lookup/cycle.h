#pragma once
// One query through the real handlers over a window held in memory, so what lexi-lookup prints
// is exactly what the dictionary window's box would show.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store.h"
#include "core/window_model.h"

namespace moshitong::lexi_lookup {

struct ListedEntry {
    std::optional<std::u16string> word;  // std::nullopt: the store holds Null
    std::optional<std::u16string> explanation;
    bool operator==(const ListedEntry&) const = default;
};

// Passes every call through to the real recordset and remembers the rows the listing read, so
// the caller learns what was listed without parsing the box text back. A row counts as listed
// once both of its fields were read, in the order the listing reads them (headword first).
class RecordingRecordset final : public Recordset {
public:
    explicit RecordingRecordset(Recordset& inner) : inner_(inner) {}

    void Open(const Statement& source, Connection& Conn) override;
    long RecordCount() override;
    std::optional<std::u16string> Field(std::u16string_view column) override;
    void MoveNext() override;
    void Close() override;

    // Forgets what the previous query listed.
    void reset();
    const std::vector<ListedEntry>& entries() const { return entries_; }
    // The statement last handed to Open, whether the store took it or not.
    const std::optional<Statement>& lastStatement() const { return lastStatement_; }

private:
    Recordset& inner_;
    std::vector<ListedEntry> entries_;
    std::optional<std::optional<std::u16string>> pendingWord_;
    std::optional<Statement> lastStatement_;
};

enum class LookupKind { Concise, Professional };

struct CycleOptions {
    bool fuzzy = false;
    LookupKind lookup = LookupKind::Concise;
};

// A failure that the concise lookup reported to the window, with the statement it ran.
struct StoreReport {
    RunTimeError error;
    std::optional<Statement> statement;
};

struct QueryResult {
    std::u16string query;
    int direction = 0;    // as the translate press decided: 1 Chinese, 2 English, 0 none
    std::u16string text;  // the box just before "清 除", lines separated by CR LF
    std::vector<ListedEntry> entries;
    std::vector<StoreReport> errors;

    bool found() const { return !entries.empty(); }
};

class QueryCycle {
public:
    QueryCycle(Recordset& Rs, Connection& Conn, CycleOptions options);

    // Types the query into a fresh window, presses "翻 译", picks the option, presses the
    // lookup button when a language was decided, reads the box and presses "清 除". Each query
    // starts from the window's start-up state, so its result does not depend on the ones before.
    QueryResult run(std::u16string_view query);

private:
    RecordingRecordset Rs_;
    Connection& Conn_;
    CycleOptions options_;
};

// The translate press alone: the language it decides for the query, 0 when it decides none.
int decideDirection(std::u16string_view query);

}  // namespace moshitong::lexi_lookup
