#include "core/platform.h"
#include "core/text.h"
#include "lookup/failure.h"
#include "lookup/handlers.h"

namespace moshitong {

int DetectDirection(std::u16string_view text) {
    // Counted in wide integers: any length decides as a short text would.
    std::size_t chineseCount = 0;
    std::size_t otherCount = 0;
    for (const char16_t unit : text) {
        if (isDoubleByteInGbk(unit)) {
            ++chineseCount;
        } else {
            ++otherCount;
        }
    }
    if (chineseCount > otherCount) {
        return 1;
    }
    if (chineseCount < otherCount) {
        return 2;
    }
    return 0;
}

namespace {

// The button never reports a failure: a step that fails is skipped and the next one runs. Each
// step of the tidying writes back at once, so the user sees the tidied query.
void tidyQuery(LookupState& state, WindowModel& window) {
    attempt([&] { window.setText1Text(removeAll(window.Text1Text(), u'\r')); });
    attempt([&] { window.setText1Text(removeAll(window.Text1Text(), u'\n')); });
    // The ideographic space goes too: a Chinese input method types it easily, and a query that
    // starts with one would never match.
    attempt([&] { window.setText1Text(trimQuerySpaces(window.Text1Text())); });
    attempt([&] { state.SavedQuery = window.Text1Text(); });
}

void clearFace(LookupState& state, WindowModel& window) {
    attempt([&] { window.setText1Text(u""); });
    state.ResultShown = 0;
    attempt([&] { window.setFrame1Visible(false); });
    state.ClearMode = 0;
    attempt([&] { window.setCommand4Caption(kCaptionTranslate); });
    attempt([&] { window.Text1SetFocus(); });
}

void translateFace(LookupState& state, WindowModel& window) {
    // A count that fails leaves both sides at 0: a tie, no decision.
    int direction = 0;
    attempt([&] { direction = DetectDirection(window.Text1Text()); });
    if (direction != 0) {
        state.Direction = direction;
        attempt([&] { window.selectOption1(); });
        if (state.ResultShown == 0) {
            attempt([&] { window.setFrame1Visible(true); });
        }
    }
    state.ClearMode = 1;
    attempt([&] { window.setCommand4Caption(kCaptionClear); });
}

}  // namespace

void Command4_Click(LookupState& state, WindowModel& window) {
    // While a result is on show the box holds the listing, not a query: leave both alone.
    if (state.ResultShown == 0) {
        tidyQuery(state, window);
    }
    if (!holds([&] { return !window.Text1Empty(); })) {
        return;
    }
    if (state.ClearMode == 1) {
        clearFace(state, window);
    } else if (state.ClearMode == 0) {
        translateFace(state, window);
    }
}

}  // namespace moshitong
