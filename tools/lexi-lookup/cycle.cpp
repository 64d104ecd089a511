#include "tools/lexi-lookup/cycle.h"

#include "core/state.h"
#include "core/window_model.h"
#include "lookup/handlers.h"

namespace moshitong::lexi_lookup {

void RecordingRecordset::Open(const Statement& source, Connection& Conn) {
    lastStatement_ = source;
    pendingWord_.reset();
    inner_.Open(source, Conn);
}

long RecordingRecordset::RecordCount() {
    return inner_.RecordCount();
}

std::optional<std::u16string> RecordingRecordset::Field(std::u16string_view column) {
    auto value = inner_.Field(column);
    if (column == columnName(Column::Word)) {
        pendingWord_ = value;
    } else if (column == columnName(Column::Explanation) && pendingWord_) {
        entries_.push_back(ListedEntry{*pendingWord_, value});
        pendingWord_.reset();
    }
    return value;
}

void RecordingRecordset::MoveNext() {
    pendingWord_.reset();
    inner_.MoveNext();
}

void RecordingRecordset::Close() {
    pendingWord_.reset();
    inner_.Close();
}

void RecordingRecordset::reset() {
    entries_.clear();
    pendingWord_.reset();
    lastStatement_.reset();
}

QueryCycle::QueryCycle(Recordset& Rs, Connection& Conn, CycleOptions options)
    : Rs_(Rs), Conn_(Conn), options_(options) {
}

QueryResult QueryCycle::run(std::u16string_view query) {
    LookupState state;
    MemoryWindow window;
    Rs_.reset();
    QueryResult result;
    result.query = query;

    window.setText1Text(query);
    Command4_Click(state, window);
    result.direction = state.Direction;
    // A tie leaves the panel closed, so there is no lookup button to press.
    if (state.Direction != 0) {
        if (options_.fuzzy) {
            window.selectOption2();
        }
        const Session session{state, window, Rs_, Conn_};
        if (options_.lookup == LookupKind::Professional) {
            Command2_Click(session);
        } else {
            Command3_Click(session);
        }
    }
    result.text = window.Text1Text();
    result.entries = Rs_.entries();
    for (const RunTimeError& error : window.errors) {
        result.errors.push_back(StoreReport{error, Rs_.lastStatement()});
    }
    Command4_Click(state, window);
    return result;
}

int decideDirection(std::u16string_view query) {
    LookupState state;
    MemoryWindow window;
    window.setText1Text(query);
    Command4_Click(state, window);
    return state.Direction;
}

}  // namespace moshitong::lexi_lookup
