#pragma once
// Qt's key and mouse events translated into the classic codes the window's handlers take: key
// codes (Delete is 46), character codes (Esc is 27, Ctrl+V is 22), mouse buttons (1 left,
// 2 right, 4 middle) and shift states (1 Shift, 2 Ctrl, 4 Alt).

#include <Qt>

class QKeyEvent;

namespace moshitong {

inline constexpr int kCharPaste = 22;  // Ctrl+V

// The key code of the key that went down; 0 for a key without a classic code.
int keyCodeOf(const QKeyEvent& event);

// The character the key types, 0 when it types none (a modifier, an arrow, Tab, an Alt chord).
// A key the platform binds to paste, cut, undo or redo (Shift+Insert, the Paste key) types the
// character of that command's Ctrl shortcut, as Ctrl+V types 22; a key that copies types none
// unless it is Ctrl+C itself.
int characterCodeOf(const QKeyEvent& event);

// The buttons as a mask: one button for a press or release, those held down for a move.
int buttonCodeOf(Qt::MouseButtons buttons);
int shiftCodeOf(Qt::KeyboardModifiers modifiers);

}  // namespace moshitong
