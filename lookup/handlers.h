#pragma once
// The handlers that decide from the lookup state and the window model alone: the lookup cycle's
// translate/clear (Command4), concise (Command3) and professional (Command2) lookups with the
// result listing they share, and the input box's lock (Text1). None of them knows about Qt; the
// window passes itself in as a WindowModel and carries out what they decide.

#include <string>
#include <string_view>

#include "core/state.h"
#include "core/store.h"
#include "core/window_model.h"

namespace moshitong {

inline constexpr std::u16string_view kSeparator = u"--------------------------------";
inline constexpr std::u16string_view kApologyEnglish = u"对不起，没找到这个词儿！";
inline constexpr std::u16string_view kApologyChinese = u"对不起，没找到这个词！";

// 1 Chinese, 2 English, 0 a tie (no decision): a strict majority of characters that GBK
// encodes in two bytes against all others.
int DetectDirection(std::u16string_view text);

// The handlers' shared context: the lookup state, the window and the store handles.
struct Session {
    LookupState& state;
    WindowModel& window;
    Recordset& Rs;
    Connection& Conn;
};

// Appends the open recordset's entries (at most kRowCap) to Text1, written to the box once.
void ResultListing(Recordset& Rs, WindowModel& window);
void ShowApologyIfEmpty(WindowModel& window, std::u16string_view apology);

void Command4_Click(LookupState& state, WindowModel& window);  // "翻 译" / "清 除"
void Command3_Click(const Session& session);                   // "简明查询"
void Command2_Click(const Session& session);                   // "专业查询"

inline constexpr int kKeyDelete = 46;
inline constexpr int kCharEscape = 27;

// What becomes of a key that reaches the input box.
enum class KeyVerdict { Accept, Discard, EndProgram };

// Delete never acts in the box, whatever the state.
KeyVerdict Text1_KeyDown(int KeyCode, int Shift);
// The lock: while a result is on show every character is discarded, until the box is found
// empty; Esc in an unlocked box ends the program.
KeyVerdict Text1_KeyPress(LookupState& state, WindowModel& window, int KeyAscii);
// Brings SavedQuery back into an unlocked box; true when it did.
bool Text1_DblClick(const LookupState& state, WindowModel& window);
// Whether a character reaching the box now would be typed, without deciding it: what is
// composed or dragged over the box shows only where it will land.
bool Text1TakesText(const LookupState& state, const WindowModel& window);

}  // namespace moshitong
