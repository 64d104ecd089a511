#pragma once
// A recordset over rows held in memory that fails on demand at any of its five operations, so
// the lookups' failure policies can be driven step by step. It keeps every statement it was asked
// to open and every call it served, failed or not.

#include <cstddef>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store.h"
#include "core/text.h"

namespace moshitong::testing {

struct FakeRow {
    std::optional<std::u16string> word;
    std::optional<std::u16string> explanation;
};

enum class Op { Open, Count, Field, Move, Close };

struct Call {
    Op op;
    std::size_t row;        // the current row when the call was made
    std::u16string column;  // for Field only
};

// An injected failure carries this number plus the operation's index, so a test can tell which
// operation's error reached the user.
inline constexpr int kInjectedErrorBase = 900;
inline constexpr int kMisuse = 21;  // what the real recordset reports for a call in the wrong state

inline int injectedErrorNumber(Op op) {
    return kInjectedErrorBase + static_cast<int>(op);
}

class FakeRecordset final : public Recordset {
public:
    explicit FakeRecordset(std::vector<FakeRow> rows = {}) : rows_(std::move(rows)) {}

    // A call for which this returns true throws instead of doing its work: `raises` when set,
    // else a StoreError.
    std::function<bool(const Call&)> failWhen = [](const Call&) { return false; };
    std::exception_ptr raises;

    void failAt(Op op) {
        failWhen = [op](const Call& call) { return call.op == op; };
    }
    // A transient failure: the first call of `op` fails, later ones work.
    void failOnce(Op op) {
        failWhen = [op, failed = false](const Call& call) mutable {
            if (call.op != op || failed) {
                return false;
            }
            failed = true;
            return true;
        };
    }
    void failField(std::u16string_view column, std::size_t row) {
        failWhen = [column = std::u16string(column), row](const Call& call) {
            return call.op == Op::Field && call.column == column && call.row == row;
        };
    }
    void failMoveAt(std::size_t row) {
        failWhen = [row](const Call& call) { return call.op == Op::Move && call.row == row; };
    }
    void neverFail() {
        failWhen = [](const Call&) { return false; };
    }
    void setRows(std::vector<FakeRow> rows) { rows_ = std::move(rows); }

    std::vector<Statement> statements;  // every Open, in order
    std::vector<Call> calls;

    bool isOpen() const { return open_; }
    std::size_t countOf(Op op) const {
        std::size_t n = 0;
        for (const Call& call : calls) {
            n += call.op == op ? 1 : 0;
        }
        return n;
    }
    // The rows whose fields were read at least once, in the order first read.
    std::vector<std::size_t> rowsRead() const {
        std::vector<std::size_t> out;
        for (const Call& call : calls) {
            if (call.op == Op::Field && (out.empty() || out.back() != call.row)) {
                out.push_back(call.row);
            }
        }
        return out;
    }

    void Open(const Statement& source, Connection&) override {
        statements.push_back(source);
        serve(Op::Open);
        if (open_) {
            throw StoreError(kMisuse, "the recordset is already open");
        }
        open_ = true;
        current_ = 0;
    }
    long RecordCount() override {
        serve(Op::Count);
        requireOpen();
        return static_cast<long>(rows_.size());
    }
    std::optional<std::u16string> Field(std::u16string_view column) override {
        serve(Op::Field, column);
        requireOpen();
        requireRow();
        return column == u"单词" ? rows_[current_].word : rows_[current_].explanation;
    }
    void MoveNext() override {
        serve(Op::Move);
        requireOpen();
        requireRow();
        ++current_;
    }
    void Close() override {
        serve(Op::Close);
        requireOpen();
        open_ = false;
    }

private:
    void serve(Op op, std::u16string_view column = {}) {
        const Call call{op, current_, std::u16string(column)};
        calls.push_back(call);
        if (failWhen(call)) {
            if (raises) {
                std::rethrow_exception(raises);
            }
            throw StoreError(injectedErrorNumber(op), "injected failure");
        }
    }
    void requireOpen() const {
        if (!open_) {
            throw StoreError(kMisuse, "the recordset is closed");
        }
    }
    void requireRow() const {
        if (current_ >= rows_.size()) {
            throw StoreError(kMisuse, "no current row");
        }
    }

    std::vector<FakeRow> rows_;
    std::size_t current_ = 0;
    bool open_ = false;
};

// Shorthand for the ops a test expects, in order: "open count field field move close".
inline std::string opTrace(const std::vector<Call>& calls) {
    std::string out;
    for (const Call& call : calls) {
        static constexpr const char* kNames[] = {"open", "count", "field", "move", "close"};
        out += out.empty() ? "" : " ";
        out += kNames[static_cast<int>(call.op)];
    }
    return out;
}

// The box text of one listed entry, as the user reads it.
inline std::u16string entryText(std::u16string_view word, std::u16string_view explanation) {
    std::u16string out = u"\r\n";
    out += word;
    out += u"\r\n\r\n";
    out += explanation;
    out += u"\r\n\r\n--------------------------------";
    return out;
}

// What is left of an entry whose first piece (line break, headword, blank line, explanation)
// was dropped.
inline std::u16string entryWithoutFirstPiece() {
    return u"\r\n\r\n--------------------------------";
}

}  // namespace moshitong::testing
