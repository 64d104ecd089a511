// Form1's event wiring and handlers. wireEvents() is the one place where a signal or an event
// becomes a handler call; the filter below translates what Qt has no signal for.

#include "ui/form1.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <iostream>

#include "lookup/failure.h"
#include "lookup/handlers.h"
#include "ui/controls.h"
#include "ui/input_codes.h"
#include "ui/platform.h"
#include "ui/twips.h"
#include "ui/widget_window.h"

namespace moshitong {

namespace {

constexpr char16_t kLinkPrompt[] = u"请检查是否连接了网络，您真的要进入《墨石通》官方网站吗？！";

bool isMouseEvent(const QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return true;
        default:
            return false;
    }
}

// Text that reaches the box by the mouse: a drop, or the middle button pasting the selection
// where the window system keeps one (X11).
bool isPasteByMouse(const QEvent* event) {
    if (event->type() == QEvent::Drop) {
        return true;
    }
    return event->type() == QEvent::MouseButtonRelease &&
           static_cast<const QMouseEvent*>(event)->button() == Qt::MiddleButton &&
           QGuiApplication::clipboard()->supportsSelection();
}

QString startupFailureText(const RunTimeError& error, const std::filesystem::path& dictionary) {
    return QString::fromUtf16(u"墨石通无法打开词典。\n\n%1\n\n词典文件：%2")
        .arg(runTimeErrorText(error), QDir::toNativeSeparators(QFileInfo(dictionary).filePath()));
}

QUrl productPage() {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QString::fromUtf16(kProductHost));
    url.setPath(QString::fromUtf16(kProductPagePath));
    return url;
}

}  // namespace

bool Form1::load() {
    try {
        Form_Load();
        return true;
    } catch (...) {
        const QString text =
            startupFailureText(runTimeErrorOf(std::current_exception()), dictionary_);
        std::cerr << text.toStdString() << std::endl;
        platform_.showError(nullptr, text);
        return false;
    }
}

void Form1::wireEvents() {
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(readAheadTimer_, &QTimer::timeout, this, &Form1::readAhead);

    // Keys go to whichever control has the focus, and the window previews them; mouse events on
    // the background, activation and closing arrive at the window itself; the box reports its
    // double-clicks on its viewport. Text1 and Frame1 are watched to keep their unused mouse
    // events from falling through to the background, where they would start a drag and turn on
    // the key preview. The button takes its left presses itself, so the filter cannot eat its
    // mouse events; it keeps the ones it ignores (right and middle) from its parent instead.
    setMouseTracking(true);
    Command4->setAttribute(Qt::WA_NoMousePropagation);
    for (QObject* watched :
         std::initializer_list<QObject*>{this, Text1, Text1->viewport(), Command4, Frame1, Command2,
                                         Command3, Option1, Option2, Label2}) {
        watched->installEventFilter(this);
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // The window's handlers have no failure policy of their own: a failure is reported and the
    // event goes no further. Unwinding into Qt instead would abort the program.
    bool consumed = true;
    reportingFailure(*window_, [&] { consumed = filterEvent(watched, event); });
    return consumed;
}

bool Form1::filterEvent(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        return filterKeyPress(watched, static_cast<QKeyEvent*>(event));
    }
    if (watched == Text1 && event->type() == QEvent::InputMethod) {
        return filterText1InputMethod(*static_cast<QInputMethodEvent*>(event));
    }
    if (watched == this) {
        return filterFormEvent(event);
    }
    if (watched == Text1->viewport()) {
        return filterText1ViewportEvent(event);
    }
    if (watched == Label2) {
        return filterLabel2Event(event);
    }
    if (watched == Text1 || watched == Frame1) {
        return isMouseEvent(event);
    }
    return QWidget::eventFilter(watched, event);
}

// A key raises, in order: Text1_KeyDown (in the box), Form_KeyPress (while the window previews
// keys) and Text1_KeyPress (in the box). True when the key is discarded.
bool Form1::filterKeyPress(QObject* watched, QKeyEvent* event) {
    const bool inText1 = watched == Text1;
    if (inText1 &&
        Text1_KeyDown(keyCodeOf(*event), shiftCodeOf(event->modifiers())) == KeyVerdict::Discard) {
        return true;
    }
    const int KeyAscii = characterCodeOf(*event);
    return KeyAscii != 0 && raiseKeyPress(KeyAscii, inText1);
}

// Form_KeyPress while the window previews keys, then Text1_KeyPress for the box; true when one
// of them discarded the character.
bool Form1::raiseKeyPress(int KeyAscii, bool inText1) {
    if (keyPreview_) {
        Form_KeyPress(KeyAscii);
        if (KeyAscii == 0) {
            return true;
        }
    }
    if (!inText1) {
        return false;
    }
    const KeyVerdict verdict = Text1_KeyPress(state_, *window_, KeyAscii);
    if (verdict == KeyVerdict::EndProgram) {
        platform_.endProgram(0);
    }
    return verdict == KeyVerdict::Discard;
}

// Chinese typed with an input method reaches the box without a key press: the method composes
// the characters in the box and then commits them. The commit is the typing, so it passes the
// key handlers as its first character: a listing on show refuses it, an empty box takes it and
// unlocks. Once the first character is in, the box is not empty, so the rest fares the same.
bool Form1::filterText1InputMethod(const QInputMethodEvent& event) {
    const QString commit = event.commitString();
    if (commit.isEmpty()) {
        // A box that will refuse the commit does not show the composition either.
        return !Text1TakesText(state_, *window_);
    }
    return raiseKeyPress(commit.front().unicode(), true);
}

bool Form1::filterFormEvent(QEvent* event) {
    if (isMouseEvent(event)) {
        raiseMouseEvent(static_cast<QMouseEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::WindowActivate) {
        Form_Activate();
    } else if (event->type() == QEvent::Paint && !readAheadStarted_) {
        // Only once the window is on screen, so reading never delays its first picture.
        readAheadStarted_ = true;
        readAheadTimer_->start();
    } else if (event->type() == QEvent::Close) {
        int Cancel = 0;
        Form_Unload(Cancel);
        if (Cancel != 0) {
            event->ignore();
            return true;
        }
    }
    return false;
}

void Form1::raiseMouseEvent(QMouseEvent* event) {
    const int Shift = shiftCodeOf(event->modifiers());
    // Relative to where the window stands now, not where the window system last reported it:
    // while a move is still on its way through a window manager, the event's own position is
    // measured from the old place, and the drag would leave the grabbed point behind.
    const QPointF inWindow = event->globalPosition() - QPointF(pos());
    const double X = pixelsToTwips(inWindow.x());
    const double Y = pixelsToTwips(inWindow.y());
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            Form_MouseDown(buttonCodeOf(event->button()), Shift, X, Y);
            break;
        case QEvent::MouseMove:
            Form_MouseMove(buttonCodeOf(event->buttons()), Shift, X, Y);
            break;
        case QEvent::MouseButtonRelease:
            Form_MouseUp(buttonCodeOf(event->button()), Shift, X, Y);
            break;
        case QEvent::MouseButtonDblClick:
            // Qt reports the second press of a double-click in place of a press. Only the left
            // button double-clicks; for the others it stays an ordinary press.
            if (event->button() == Qt::LeftButton) {
                Form_DblClick();
            } else {
                Form_MouseDown(buttonCodeOf(event->button()), Shift, X, Y);
            }
            break;
        default:
            break;
    }
}

bool Form1::filterText1ViewportEvent(QEvent* event) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        // The pointer tells before the drop whether the box will take it.
        if (Text1TakesText(state_, *window_)) {
            return false;
        }
        event->ignore();
        return true;
    }
    if (isPasteByMouse(event)) {
        // Pasted text passes the lock as the paste key does, so a listing refuses it as it
        // refuses Ctrl+V.
        if (!raiseKeyPress(kCharPaste, true)) {
            return false;
        }
        event->ignore();
        return true;
    }
    if (event->type() != QEvent::MouseButtonDblClick ||
        static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
        return false;
    }
    // When the double-click brings the saved query back, the box must not go on to select a
    // word of the new text: the recalled query stands as written, caret at its start.
    return Text1_DblClick(state_, *window_);
}

bool Form1::filterLabel2Event(QEvent* event) {
    if (!isMouseEvent(event)) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton) {
        if (event->type() == QEvent::MouseButtonPress) {
            label2Pressed_ = true;
        } else if (event->type() == QEvent::MouseButtonRelease && label2Pressed_) {
            label2Pressed_ = false;
            if (Label2->rect().contains(mouse->position().toPoint())) {
                Label2_Click();
            }
        }
    }
    // The area is transparent to the eye only: its mouse events never reach the background.
    return true;
}

void Form1::Form_Load() {
    OpenDictionary(Conn, dictionary_);
    Rs = std::make_unique<SqliteRecordset>();
}

void Form1::Form_Activate() {
    window_->Text1SetFocus();
}

void Form1::Form_DblClick() {
    setWindowState(windowState() | Qt::WindowMinimized);
}

void Form1::Form_KeyPress(int& KeyAscii) {
    if (KeyAscii == kCharEscape) {
        platform_.endProgram(0);
    }
}

void Form1::Form_MouseDown(int /*Button*/, int /*Shift*/, double X, double Y) {
    drag_.Dragging = 1;
    drag_.DragX = X;
    drag_.DragY = Y;
    keyPreview_ = true;
}

void Form1::Form_MouseMove(int Button, int /*Shift*/, double X, double Y) {
    if (drag_.Dragging == 1) {
        // The window is moved by the pointer's displacement from the grab point, so the grabbed
        // point stays under the pointer.
        drag_.NewLeft = X - drag_.DragX + pixelsToTwips(x());
        drag_.NewTop = Y - drag_.DragY + pixelsToTwips(y());
        if (programMayMoveItsWindows(QGuiApplication::platformName())) {
            move(qRound(drag_.NewLeft / kTwipsPerPixel), qRound(drag_.NewTop / kTwipsPerPixel));
        } else if (Button != 0) {
            // This window system places windows itself and ignores the move, so it is asked
            // to carry the drag: it moves the window with the pointer until the release.
            windowHandle()->startSystemMove();
        }
    }
    keyPreview_ = true;
}

void Form1::Form_MouseUp(int /*Button*/, int /*Shift*/, double /*X*/, double /*Y*/) {
    drag_.Dragging = 0;
    keyPreview_ = true;
}

void Form1::Form_Unload(int& /*Cancel*/) {
    platform_.endProgram(0);
}

void Form1::Label2_Click() {
    if (platform_.confirm(this, QString::fromUtf16(kLinkPrompt))) {
        platform_.openUrl(this, productPage());
    }
}

void Form1::Command2_Click() {
    moshitong::Command2_Click(Session{state_, *window_, *Rs, Conn});
}

void Form1::Command3_Click() {
    moshitong::Command3_Click(Session{state_, *window_, *Rs, Conn});
}

void Form1::Command4_Click() {
    moshitong::Command4_Click(state_, *window_);
}

// A step at a time, so that between two steps the window answers keys and clicks as usual; the
// first wildcard lookup then finds the images in memory instead of waiting for them.
void Form1::readAhead() {
    bool more = false;
    try {
        more = Conn.readAhead();
    } catch (...) {
        // A damaged store is reported by the lookup that reads the damage, not in idle time.
    }
    if (!more) {
        readAheadTimer_->stop();
    }
}

}  // namespace moshitong
