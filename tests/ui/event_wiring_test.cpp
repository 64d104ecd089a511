// Every event the window answers reaches its handler, each shown by one real event and the
// effect a user sees; and the translation of Qt's key events into classic key and character
// codes.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QtTest>

#include "ui/input_codes.h"
#include "ui_test_support.h"

namespace moshitong::testing {

class EventWiringTest : public QObject {
    Q_OBJECT

private slots:
    void activationPutsTheFocusIntoTheBox() {
        ShownForm w;
        QTRY_COMPARE(QApplication::focusWidget(), w["Text1"]);
        w["Command4"]->setFocus();
        QWidget other;
        other.show();
        QApplication::setActiveWindow(&other);
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QApplication::setActiveWindow(&w.form);
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        QTRY_COMPARE(QApplication::focusWidget(), w["Text1"]);
    }

    void doubleClickOnTheBackgroundMinimises() {
        ShownForm w;
        QTest::mouseDClick(w.window(), Qt::LeftButton, {}, kBackground);
        QTRY_VERIFY(w.form.windowState().testFlag(Qt::WindowMinimized));
    }

    void doubleClickLeavesNoDragBehind_data() { eachButton(); }
    // The press and release that come with a double-click end as any click does: moving the
    // pointer afterwards does not take the window along.
    void doubleClickLeavesNoDragBehind() {
        QFETCH(Qt::MouseButton, button);
        ShownForm w;
        QTest::mouseDClick(w.window(), button, {}, kBackground);
        const QPoint before = w.form.pos();
        QTest::mouseMove(w.window(), kBackgroundFurtherRight);
        QCOMPARE(w.form.pos(), before);
    }

    void dragByTheBackgroundMovesTheWindow_data() { eachButton(); }
    // Whichever button holds it, the point of the background the user grabbed stays under the
    // pointer at every move, until the button is let go.
    void dragByTheBackgroundMovesTheWindow() {
        QFETCH(Qt::MouseButton, button);
        ShownForm w;
        QTest::mousePress(w.window(), button, {}, kBackground);
        for (const QPoint step : {QPoint(20, 10), QPoint(-7, 31), QPoint(0, -12)}) {
            const QPoint pointer = w.form.mapToGlobal(kBackground) + step;
            QTest::mouseMove(w.window(), kBackground + step);
            QTRY_COMPARE(w.form.mapToGlobal(kBackground), pointer);
        }
        QTest::mouseRelease(w.window(), button, {}, kBackground);
        const QPoint released = w.form.pos();
        QTest::mouseMove(w.window(), kBackgroundFurtherRight);
        QCOMPARE(w.form.pos(), released);
    }

    // Under a window manager the window system reports a move some time after it was asked
    // for; meanwhile the pointer's events are measured from where the window stood before. The
    // grabbed point must still end up under the pointer.
    void dragKeepsUpWithALateWindowSystem() {
        ShownForm w;
        const QPoint before = w.form.pos();
        QTest::mousePress(w.window(), Qt::LeftButton, {}, kBackground);
        QTest::mouseMove(w.window(), kBackground + QPoint(20, 10));
        QTRY_VERIFY(w.form.pos() != before);
        const QPointF pointer = w.form.mapToGlobal(QPointF(kBackground) + QPointF(6, 4));
        QMouseEvent late(QEvent::MouseMove, pointer - QPointF(before), pointer, Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(&w.form, &late);
        QTRY_COMPARE(w.form.mapToGlobal(QPointF(kBackground)), pointer);
        QTest::mouseRelease(w.window(), Qt::LeftButton, {}, kBackground);
    }

    void pressOnTheButtonIsNotAPressOnTheBackground_data() { eachButton(); }
    // Whichever button presses "翻 译" and drags from it, the press belongs to the button: the
    // window stays where it is, and the key preview stays off, so Esc over the button does not
    // end the program.
    void pressOnTheButtonIsNotAPressOnTheBackground() {
        QFETCH(Qt::MouseButton, button);
        ShownForm w;
        const QPoint onButton = w["Command4"]->geometry().center();
        const QPoint before = w.form.pos();
        QTest::mousePress(w.window(), button, {}, onButton);
        // Off the button, over the box and the background, still held.
        for (const QPoint step : {QPoint(15, 4), QPoint(-60, -30), QPoint(-120, -80)}) {
            QTest::mouseMove(w.window(), onButton + step);
            QCOMPARE(w.form.pos(), before);
        }
        QTest::mouseRelease(w.window(), button, {}, onButton + QPoint(-120, -80));
        QCOMPARE(w.form.pos(), before);
        QTest::keyClick(w["Command4"], Qt::Key_Escape);
        QVERIFY(!w.platform.endedWith.has_value());
    }

    // A move over the background before any press leaves the window where it is.
    void moveBeforeAPressDoesNotDrag() {
        ShownForm w;
        const QPoint start = w.form.pos();
        QTest::mouseMove(w.window(), kBackground + QPoint(3, 0));
        QTest::mouseMove(w.window(), kBackgroundFurtherRight);
        QCOMPARE(w.form.pos(), start);
    }

    void windowSystemsThatPlaceWindowsThemselves_data() {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<bool>("programMoves");
        QTest::newRow("X11") << "xcb" << true;
        QTest::newRow("Wayland") << "wayland" << false;
        QTest::newRow("Wayland with EGL") << "wayland-egl" << false;
        QTest::newRow("offscreen") << "offscreen" << true;
    }
    void windowSystemsThatPlaceWindowsThemselves() {
        QFETCH(QString, platform);
        QFETCH(bool, programMoves);
        QCOMPARE(programMayMoveItsWindows(platform), programMoves);
    }

    void closingEndsTheProgram() {
        ShownForm w;
        w.window()->close();
        QCOMPARE(w.platform.endedWith, std::optional<int>(0));
    }

    void linkAreaAsksBeforeOpeningTheProductPage_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void linkAreaAsksBeforeOpeningTheProductPage() {
        QFETCH(bool, yes);
        ShownForm w;
        w.platform.answerYes = yes;
        QTest::mouseClick(w["Label2"], Qt::LeftButton);
        QCOMPARE(w.platform.prompts,
                 QStringList{QString::fromUtf16(
                     u"请检查是否连接了网络，您真的要进入《墨石通》官方网站吗？！")});
        const QList<QUrl> expected =
            yes ? QList<QUrl>{QUrl(QStringLiteral("http://moshitong.example/lexi.htm"))}
                : QList<QUrl>{};
        QCOMPARE(w.platform.opened, expected);
        // The window owns what the system shows on the way to the browser.
        QCOMPARE(w.platform.openedFrom, yes ? &w.form : nullptr);
        // A press on the link area is not a press on the background.
        QTest::keyClick(w["Command4"], Qt::Key_Escape);
        QVERIFY(!w.platform.endedWith.has_value());
    }

    void keyCodes_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<int>("character");
        const Qt::KeyboardModifiers none;
        QTest::newRow("a") << int(Qt::Key_A) << none << "a" << 65 << 97;
        QTest::newRow("Shift+A") << int(Qt::Key_A) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                 << "A" << 65 << 65;
        QTest::newRow("7") << int(Qt::Key_7) << none << "7" << 55 << 55;
        QTest::newRow("space") << int(Qt::Key_Space) << none << " " << 32 << 32;
        QTest::newRow("quote") << int(Qt::Key_Apostrophe) << none << "'" << 0 << 39;
        QTest::newRow("Chinese") << int(Qt::Key_unknown) << none << "苹" << 0 << 0x82F9;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << none << "\x7f" << 46 << 0;
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << "\b" << 8 << 8;
        QTest::newRow("Ctrl+Backspace")
            << int(Qt::Key_Backspace) << Qt::KeyboardModifiers(Qt::ControlModifier) << "" << 8
            << 127;
        QTest::newRow("Return") << int(Qt::Key_Return) << none << "\r" << 13 << 13;
        QTest::newRow("keypad Enter")
            << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << "\r" << 13 << 13;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << none << "\x1b" << 27 << 27;
        QTest::newRow("Tab moves the focus") << int(Qt::Key_Tab) << none << "\t" << 9 << 0;
        QTest::newRow("Ctrl+V as X11 sends it")
            << int(Qt::Key_V) << Qt::KeyboardModifiers(Qt::ControlModifier) << "\x16" << 86 << 22;
        QTest::newRow("Ctrl+V without text")
            << int(Qt::Key_V) << Qt::KeyboardModifiers(Qt::ControlModifier) << "" << 86 << 22;
        // The five Ctrl combinations past Z type on up to 31; Ctrl+[ is an Esc.
        QTest::newRow("Ctrl+[ is an Esc")
            << int(Qt::Key_BracketLeft) << Qt::KeyboardModifiers(Qt::ControlModifier) << "\x1b" << 0
            << 27;
        QTest::newRow("Ctrl+\\ without text")
            << int(Qt::Key_Backslash) << Qt::KeyboardModifiers(Qt::ControlModifier) << "" << 0
            << 28;
        QTest::newRow("Ctrl+]") << int(Qt::Key_BracketRight)
                                << Qt::KeyboardModifiers(Qt::ControlModifier) << "\x1d" << 0 << 29;
        QTest::newRow("Ctrl+^") << int(Qt::Key_AsciiCircum)
                                << (Qt::ControlModifier | Qt::ShiftModifier) << "\x1e" << 0 << 30;
        QTest::newRow("Ctrl+_ without text")
            << int(Qt::Key_Underscore) << (Qt::ControlModifier | Qt::ShiftModifier) << "" << 0
            << 31;
        QTest::newRow("Ctrl+Space types a space")
            << int(Qt::Key_Space) << Qt::KeyboardModifiers(Qt::ControlModifier) << "" << 32 << 32;
        QTest::newRow("Ctrl+Shift+C")
            << int(Qt::Key_C) << (Qt::ControlModifier | Qt::ShiftModifier) << "" << 67 << 3;
        // Other keys bound to the editing commands type their Ctrl shortcut's character.
        QTest::newRow("Shift+Insert pastes")
            << int(Qt::Key_Insert) << Qt::KeyboardModifiers(Qt::ShiftModifier) << "" << 45 << 22;
        // Copying changes nothing, so only Ctrl+C itself is a character.
        QTest::newRow("Ctrl+Insert copies, typing nothing")
            << int(Qt::Key_Insert) << Qt::KeyboardModifiers(Qt::ControlModifier) << "" << 45 << 0;
        QTest::newRow("Shift+Delete cuts")
            << int(Qt::Key_Delete) << Qt::KeyboardModifiers(Qt::ShiftModifier) << "" << 46 << 24;
        QTest::newRow("Insert alone") << int(Qt::Key_Insert) << none << "" << 45 << 0;
        QTest::newRow("Alt+F") << int(Qt::Key_F) << Qt::KeyboardModifiers(Qt::AltModifier) << "f"
                               << 70 << 0;
        QTest::newRow("Left") << int(Qt::Key_Left) << none << "" << 37 << 0;
        QTest::newRow("F1") << int(Qt::Key_F1) << none << "" << 112 << 0;
        QTest::newRow("Shift alone")
            << int(Qt::Key_Shift) << Qt::KeyboardModifiers(Qt::ShiftModifier) << "" << 16 << 0;
    }
    void keyCodes() {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, text);
        QFETCH(int, keyCode);
        QFETCH(int, character);
        const QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QCOMPARE(keyCodeOf(event), keyCode);
        QCOMPARE(characterCodeOf(event), character);
    }

    void mouseCodes() {
        QCOMPARE(buttonCodeOf(Qt::LeftButton), 1);
        QCOMPARE(buttonCodeOf(Qt::RightButton), 2);
        QCOMPARE(buttonCodeOf(Qt::MiddleButton), 4);
        QCOMPARE(buttonCodeOf(Qt::LeftButton | Qt::MiddleButton), 5);
        QCOMPARE(buttonCodeOf(Qt::NoButton), 0);
        QCOMPARE(shiftCodeOf(Qt::ShiftModifier), 1);
        QCOMPARE(shiftCodeOf(Qt::ControlModifier | Qt::AltModifier), 6);
        QCOMPARE(shiftCodeOf(Qt::NoModifier), 0);
    }

private:
    static void eachButton() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }

    // A point of the background picture between the controls: above the box, left of the title.
    static constexpr QPoint kBackground{8, 8};
    // Another, on the band above the box: with no button held, a move there still reaches the
    // window's own mouse handlers.
    static constexpr QPoint kBackgroundFurtherRight{70, 12};
};

}  // namespace moshitong::testing

QTEST_MAIN(moshitong::testing::EventWiringTest)
#include "event_wiring_test.moc"
