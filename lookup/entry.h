#pragma once
// The layout of one listed entry, shared by the result listing and the professional lookup.

#include <string>

#include "core/store.h"
#include "core/text.h"
#include "lookup/handlers.h"

namespace moshitong {

// Appends the current row of `Rs`: an empty line, the headword, a blank line, the explanation, a
// blank line and the separator. A Null field adds nothing, but its line stays. The head, up to
// the explanation, is built completely and appended by `guard(piece)`, which decides what a
// failing field read means: the listing lets the failure through, so nothing of the entry goes
// in; the professional lookup drops the head and goes on with the tail.
template <typename Guard>
void appendEntry(std::u16string& out, Recordset& Rs, Guard&& guard) {
    guard([&] {
        std::u16string head{kCrLf};
        head += Rs.Field(columnName(Column::Word)).value_or(u"");
        head += kCrLf;
        head += kCrLf;
        head += Rs.Field(columnName(Column::Explanation)).value_or(u"");
        out += head;
    });
    out += kCrLf;
    out += kCrLf;
    out += kSeparator;
}

}  // namespace moshitong
