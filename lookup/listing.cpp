#include "core/text.h"
#include "lookup/handlers.h"

namespace moshitong {

namespace {

// One entry: an empty line, the headword, a blank line, the explanation, a blank line and the
// separator. A Null field adds nothing, but its line stays.
void appendEntry(std::u16string& out, const std::optional<std::u16string>& word,
                 const std::optional<std::u16string>& explanation) {
    out += kCrLf;
    out += word.value_or(u"");
    out += kCrLf;
    out += kCrLf;
    out += explanation.value_or(u"");
    out += kCrLf;
    out += kCrLf;
    out += kSeparator;
}

}  // namespace

void ResultListing(Recordset& Rs, WindowModel& window) {
    // Built in memory and written once: the box shows what entry-by-entry appends would show,
    // without rewriting the whole box three times per entry.
    std::u16string out = window.Text1Text();
    try {
        const long n = Rs.RecordCount();
        for (long i = 1; i <= n; ++i) {
            const auto word = Rs.Field(columnName(Column::Word));
            const auto explanation = Rs.Field(columnName(Column::Explanation));
            appendEntry(out, word, explanation);
            Rs.MoveNext();
            if (i >= kRowCap) {
                break;
            }
        }
    } catch (...) {
        // What was listed before a failure stays listed, as it would have with direct appends.
        window.setText1Text(out);
        throw;
    }
    window.setText1Text(out);
}

void ShowApologyIfEmpty(WindowModel& window, std::u16string_view apology) {
    if (window.Text1Text().empty()) {
        window.setText1Text(apology);
    }
}

}  // namespace moshitong
