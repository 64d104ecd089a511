#include "ui/input_codes.h"

#include <QKeyEvent>
#include <QKeySequence>

#include <utility>

#include "lookup/handlers.h"

namespace moshitong {

namespace {

constexpr int kCharBackspace = 8;
constexpr int kCharLineFeed = 10;
constexpr int kCharReturn = 13;
constexpr int kCharDelete = 127;

int namedKeyCode(int key) {
    switch (key) {
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 9;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
            return 18;
        case Qt::Key_Pause:
            return 19;
        case Qt::Key_CapsLock:
            return 20;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Space:
            return 32;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return kKeyDelete;
        default:
            return 0;
    }
}

// The editing commands that change the box's text, with the character their Ctrl shortcut
// types. Whatever other key the platform binds to them must be stopped by the box's lock just as
// that shortcut is, or Shift+Insert would paste into a listing that refuses Ctrl+V. Copy is not
// among them: it changes nothing, and of its keys only Ctrl+C types a character (3), which a
// listing refuses like any other; Ctrl+Insert and the Copy key type none, so they copy in every
// state.
int editingCommandCode(const QKeyEvent& event) {
    static constexpr std::pair<QKeySequence::StandardKey, int> kCommands[] = {
        {QKeySequence::Paste, kCharPaste},
        {QKeySequence::Cut, 24},
        {QKeySequence::Undo, 26},
        {QKeySequence::Redo, 25},
    };
    for (const auto& [command, character] : kCommands) {
        if (event.matches(command)) {
            return character;
        }
    }
    return 0;
}

}  // namespace

int keyCodeOf(const QKeyEvent& event) {
    const int key = event.key();
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) {
        return key;  // Qt's codes for digits and letters are their upper-case ASCII codes
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return 112 + (key - Qt::Key_F1);
    }
    return namedKeyCode(key);
}

int characterCodeOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const bool control = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;
    const int key = event.key();
    // Ctrl+A .. Ctrl+Z, Ctrl+[, Ctrl+\, Ctrl+], Ctrl+^ and Ctrl+_ type the control characters
    // 1 .. 31 (so Ctrl+[ is an Esc), whatever text the platform attached to the event (X11 sends
    // them, synthesized events often do not). Qt numbers these keys as ASCII does, one run.
    if (control && !alt && key >= Qt::Key_A && key <= Qt::Key_Underscore) {
        return key - Qt::Key_A + 1;
    }
    // Ctrl+Space types a space, as it does in a classic edit box.
    if (control && !alt && key == Qt::Key_Space) {
        return ' ';
    }
    // Before the Alt rule: some platforms bind Alt+Backspace to undo.
    if (const int command = editingCommandCode(event); command != 0) {
        return command;
    }
    // Alt chords are menu accelerators and type nothing.
    if (alt) {
        return 0;
    }
    switch (key) {
        case Qt::Key_Backspace:
            return control ? kCharDelete : kCharBackspace;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return control ? kCharLineFeed : kCharReturn;
        case Qt::Key_Escape:
            return kCharEscape;
        // Tab moves the focus out of the box rather than typing.
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 0;
        default:
            break;
    }
    const QString text = event.text();
    if (control || text.isEmpty() || text.front().category() == QChar::Other_Control) {
        return 0;
    }
    return text.front().unicode();
}

int buttonCodeOf(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftCodeOf(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

}  // namespace moshitong
