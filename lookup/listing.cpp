#include "lookup/entry.h"
#include "lookup/handlers.h"

namespace moshitong {

void ResultListing(Recordset& Rs, WindowModel& window) {
    // Built in memory and written once: the box shows what entry-by-entry appends would show,
    // without rewriting the whole box three times per entry.
    std::u16string out = window.Text1Text();
    try {
        const long n = Rs.RecordCount();
        for (long i = 1; i <= n; ++i) {
            appendEntry(out, Rs, [](auto&& head) { head(); });
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
