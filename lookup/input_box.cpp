#include "lookup/failure.h"
#include "lookup/handlers.h"

namespace moshitong {

KeyVerdict Text1_KeyDown(int KeyCode, int /*Shift*/) {
    // The one key that types no character must not cut into a listing either.
    return KeyCode == kKeyDelete ? KeyVerdict::Discard : KeyVerdict::Accept;
}

KeyVerdict Text1_KeyPress(LookupState& state, WindowModel& window, int KeyAscii) {
    // The box is read before the key takes effect: an empty box unlocks, and its first key is
    // typed.
    bool empty = false;
    if (!reportingFailure(window, [&] { empty = window.Text1Empty(); })) {
        // Whether the lock is shut is unknown, so nothing passes it.
        return KeyVerdict::Discard;
    }
    if (empty) {
        state.ResultShown = 0;
    }
    if (state.ResultShown == 1) {
        return KeyVerdict::Discard;
    }
    return KeyAscii == kCharEscape ? KeyVerdict::EndProgram : KeyVerdict::Accept;
}

bool Text1_DblClick(const LookupState& state, WindowModel& window) {
    if (state.ResultShown != 0) {
        return false;
    }
    return reportingFailure(window, [&] { window.setText1Text(state.SavedQuery); });
}

bool Text1TakesText(const LookupState& state, const WindowModel& window) {
    return state.ResultShown == 0 || window.Text1Empty();
}

}  // namespace moshitong
