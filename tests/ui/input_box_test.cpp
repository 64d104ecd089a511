// The input box as a user meets it in each state of the lookup cycle: what typing, pasting,
// copying, an input method's commit and a drop do to it, that Delete never acts, when Esc ends the
// program, and what a double-click brings back. Everything arrives as a real event.

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QDrag>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include "ui_test_support.h"

namespace moshitong::testing {

namespace {

// Where the user has got to in the lookup cycle, each state reached from the one before.
enum class Box {
    Typed,           // "apple" typed into a fresh window
    PanelShown,      // ... and "翻 译" pressed: the lookup panel is on show
    ListingShown,    // ... and "简明查询" pressed: the listing is on show, locked
    ListingEmptied,  // ... and the listing emptied through the box's own context menu
    Cleared,         // "清 除" pressed on the listing
};

// Ways text reaches the box.
enum class Input { Letter, Backspace, Return, CtrlV, ShiftInsert, Commit, Drop };

// What the user sees the input do to text in a box that takes it. The cursor is at the end.
QString typedInto(const QString& text, Input input) {
    switch (input) {
        case Input::Letter:
            return text + 'x';
        case Input::Backspace:
            return text.chopped(qMin<qsizetype>(1, text.size()));
        case Input::Return:
            return text + '\n';
        case Input::CtrlV:
        case Input::ShiftInsert:
            return text + "pear";
        case Input::Commit:
            return text + QString::fromUtf16(u"苹果");
        case Input::Drop:
            return text + QString::fromUtf16(u"墨");
    }
    return text;
}

QPlainTextEdit* text1Of(const ShownForm& w) {
    return w.operator[]<QPlainTextEdit>("Text1");
}

// Clicks an entry of the box's own context menu, opened by a right click as a user opens it
// (through the window, where Qt turns the click into the menu's event).
void chooseFromContextMenu(const ShownForm& w, const char* action) {
    const QWidget* viewport = text1Of(w)->viewport();
    QTest::mouseClick(w.form.windowHandle(), Qt::RightButton, {},
                      viewport->mapTo(&w.form, QPoint(20, 20)));
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    auto* entry = menu->findChild<QAction*>(QLatin1String(action));
    QVERIFY2(entry != nullptr, action);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
}

void bringToState(const ShownForm& w, Box state) {
    QPlainTextEdit* text1 = text1Of(w);
    QTest::keyClicks(text1, QStringLiteral("apple"));
    if (state == Box::Typed) {
        return;
    }
    QTest::mouseClick(w["Command4"], Qt::LeftButton);
    QVERIFY(w["Frame1"]->isVisible());
    if (state == Box::PanelShown) {
        return;
    }
    QTest::mouseClick(w["Command3"], Qt::LeftButton);
    QVERIFY(text1->toPlainText().contains(QString::fromUtf16(u"苹果树")));
    if (state == Box::ListingEmptied) {
        chooseFromContextMenu(w, "select-all");
        chooseFromContextMenu(w, "edit-delete");
        QCOMPARE(text1->toPlainText(), QString());
    } else if (state == Box::Cleared) {
        QTest::mouseClick(w["Command4"], Qt::LeftButton);
        QCOMPARE(text1->toPlainText(), QString());
    }
}

// False, with the failure reported, when the state could not be reached.
bool bringTo(const ShownForm& w, Box state) {
    bringToState(w, state);
    return !QTest::currentTestFailed();
}

struct DropOutcome {
    bool draggedOver = false;  // the pointer showed that the box would take it
    bool dropped = false;
};

// Drags text over the box and drops it low in the box, after any text.
DropOutcome dropInto(QPlainTextEdit* text1, const QString& text) {
    QWidget* viewport = text1->viewport();
    const QPoint at(10, viewport->height() - 10);
    QMimeData mime;
    mime.setText(text);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent over(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &over);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &drop);
    return {enter.isAccepted() && over.isAccepted(), drop.isAccepted()};
}

// Selects the characters from..to by dragging across them with the left button, as a user does.
void selectWithTheMouse(QPlainTextEdit* text1, int from, int to) {
    QTextCursor at(text1->document());
    at.setPosition(from);
    const QPoint start = text1->cursorRect(at).center();
    at.setPosition(to);
    const QPoint end = text1->cursorRect(at).center();
    QWidget* viewport = text1->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, start);
    QTest::mouseMove(viewport, end);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, end);
}

void commitInto(QPlainTextEdit* text1, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(text1, &commit);
}

// Whether the box shows an input method's composition: it is drawn in the layout of the
// paragraph being typed into, not part of the text.
QString compositionShown(QPlainTextEdit* text1) {
    return text1->textCursor().block().layout()->preeditAreaText();
}

void give(QPlainTextEdit* text1, Input input) {
    switch (input) {
        case Input::Letter:
            QTest::keyClick(text1, Qt::Key_X);
            break;
        case Input::Backspace:
            QTest::keyClick(text1, Qt::Key_Backspace);
            break;
        case Input::Return:
            QTest::keyClick(text1, Qt::Key_Return);
            break;
        case Input::CtrlV:
            QTest::keyClick(text1, Qt::Key_V, Qt::ControlModifier);
            break;
        case Input::ShiftInsert:
            QTest::keyClick(text1, Qt::Key_Insert, Qt::ShiftModifier);
            break;
        case Input::Commit:
            commitInto(text1, QString::fromUtf16(u"苹果"));
            break;
        case Input::Drop:
            dropInto(text1, QString::fromUtf16(u"墨"));
            break;
    }
}

const std::pair<const char*, Box> kStates[] = {
    {"typed", Box::Typed},
    {"panel shown", Box::PanelShown},
    {"listing shown", Box::ListingShown},
    {"listing emptied", Box::ListingEmptied},
    {"cleared", Box::Cleared},
};

// A row for each state of the box with each of `others`, named "state, other", in the columns
// "state" and `column`.
template <typename T, std::size_t N>
void addEachStateWith(const char* column, const std::pair<const char*, T> (&others)[N]) {
    QTest::addColumn<Box>("state");
    QTest::addColumn<T>(column);
    for (const auto& [stateName, state] : kStates) {
        for (const auto& [otherName, other] : others) {
            QTest::addRow("%s, %s", stateName, otherName) << state << other;
        }
    }
}

}  // namespace

class InputBoxTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QGuiApplication::clipboard()->setText(QStringLiteral("pear")); }

    void lockInEachState_data() {
        const std::pair<const char*, Input> inputs[] = {
            {"letter", Input::Letter},
            {"Backspace", Input::Backspace},
            {"Enter", Input::Return},
            {"Ctrl+V", Input::CtrlV},
            {"Shift+Insert", Input::ShiftInsert},
            {"input method commit", Input::Commit},
            {"drop", Input::Drop},
        };
        addEachStateWith("input", inputs);
    }
    // Only a listing on show refuses text, however it comes; a box emptied while the listing
    // was on show takes the first text again and is unlocked by it.
    void lockInEachState() {
        QFETCH(Box, state);
        QFETCH(Input, input);
        ShownForm w;
        QVERIFY(bringTo(w, state));
        QPlainTextEdit* text1 = text1Of(w);
        QTest::keyClick(text1, Qt::Key_End, Qt::ControlModifier);
        const QString before = text1->toPlainText();
        const bool locked = state == Box::ListingShown;

        give(text1, input);
        QCOMPARE(text1->toPlainText(), locked ? before : typedInto(before, input));
        // What was let in unlocked the box for good.
        const QString after = text1->toPlainText();
        QTest::keyClick(text1, Qt::Key_Y);
        QCOMPARE(text1->toPlainText(), locked ? before : after + 'y');
    }

    void dropIsRefusedWhileTheListingIsShown_data() {
        QTest::addColumn<Box>("state");
        for (const auto& [name, state] : kStates) {
            QTest::addRow("%s", name) << state;
        }
    }
    // A user dragging text over a locked box sees the drop refused before letting go.
    void dropIsRefusedWhileTheListingIsShown() {
        QFETCH(Box, state);
        ShownForm w;
        QVERIFY(bringTo(w, state));
        const DropOutcome outcome = dropInto(text1Of(w), QStringLiteral("ink"));
        const bool takes = state != Box::ListingShown;
        QCOMPARE(outcome.draggedOver, takes);
        QCOMPARE(outcome.dropped, takes);
    }

    void dragOutOfTheBox_data() { dropIsRefusedWhileTheListingIsShown_data(); }
    // Text dragged out of a listing is offered as a copy only: a program that takes a move
    // would otherwise cut it out of the listing and leave an emptied box that unlocks.
    void dragOutOfTheBox() {
        QFETCH(Box, state);
        ShownForm w;
        QVERIFY(bringTo(w, state));
        QPlainTextEdit* text1 = text1Of(w);
        if (text1->toPlainText().isEmpty()) {
            QTest::keyClicks(text1, QStringLiteral("ink"));
        }
        QTest::keyClick(text1, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(text1, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
        const QString before = text1->toPlainText();
        QTextCursor inSelection(text1->document());
        inSelection.setPosition(2);
        const QPoint grab = text1->cursorRect(inSelection).center();
        const QPoint away = grab + QPoint(100, 40);
        QWidget* viewport = text1->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, grab);
        QTest::mouseMove(viewport, away);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, away);
        // The drag is left for deletion once it has ended, so it can still be asked what it
        // offered.
        const auto* drag = text1->findChild<QDrag*>();
        QVERIFY(drag != nullptr);
        const bool locked = state == Box::ListingShown;
        QCOMPARE(drag->supportedActions().testFlag(Qt::MoveAction), !locked);
        QCOMPARE(drag->defaultAction(), locked ? Qt::CopyAction : Qt::MoveAction);
        QCOMPARE(text1->toPlainText(), before);
    }

    void copyKeys_data() {
        QTest::addColumn<Box>("state");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("key");
        for (const auto& [name, state] : kStates) {
            QTest::addRow("%s, Ctrl+C", name)
                << state << Qt::KeyboardModifiers(Qt::ControlModifier) << int(Qt::Key_C);
            QTest::addRow("%s, Ctrl+Insert", name)
                << state << Qt::KeyboardModifiers(Qt::ControlModifier) << int(Qt::Key_Insert);
        }
    }
    // Ctrl+Insert copies what the mouse selected in every state, a listing included, and leaves
    // it on show and locked; Ctrl+C types a character, so a listing refuses it like any other.
    void copyKeys() {
        QFETCH(Box, state);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, key);
        ShownForm w;
        QVERIFY(bringTo(w, state));
        QPlainTextEdit* text1 = text1Of(w);
        if (text1->toPlainText().isEmpty()) {
            QTest::keyClicks(text1, QStringLiteral("apple"));
        }
        const QString before = text1->toPlainText();
        const qsizetype word = before.indexOf(QStringLiteral("apple"));
        QVERIFY(word >= 0);
        selectWithTheMouse(text1, int(word) + 1, int(word) + 4);
        QCOMPARE(text1->textCursor().selectedText(), QStringLiteral("ppl"));

        QTest::keyClick(text1, Qt::Key(key), modifiers);
        const bool locked = state == Box::ListingShown;
        const bool copies = key == Qt::Key_Insert || !locked;
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 copies ? QStringLiteral("ppl") : QStringLiteral("pear"));
        QCOMPARE(text1->toPlainText(), before);
        QTest::keyClick(text1, Qt::Key_Y);
        QCOMPARE(text1->toPlainText() == before, locked);
    }

    void compositionShowsOnlyWhereTheCommitWillLand_data() {
        dropIsRefusedWhileTheListingIsShown_data();
    }
    // Pinyin being composed is shown in the box unless the box will refuse what it commits.
    void compositionShowsOnlyWhereTheCommitWillLand() {
        QFETCH(Box, state);
        ShownForm w;
        QVERIFY(bringTo(w, state));
        QPlainTextEdit* text1 = text1Of(w);
        QTest::keyClick(text1, Qt::Key_End, Qt::ControlModifier);
        const QString before = text1->toPlainText();
        QInputMethodEvent composing(QStringLiteral("pingguo"), {});
        QApplication::sendEvent(text1, &composing);
        const bool locked = state == Box::ListingShown;
        QCOMPARE(compositionShown(text1), locked ? QString() : QStringLiteral("pingguo"));
        QCOMPARE(text1->toPlainText(), before);  // composing is not typing
        commitInto(text1, QString::fromUtf16(u"苹果"));
        QCOMPARE(compositionShown(text1), QString());
        QCOMPARE(text1->toPlainText().endsWith(QString::fromUtf16(u"苹果")), !locked);
    }

    void deleteNeverActs_data() {
        const std::pair<const char*, Qt::KeyboardModifiers> chords[] = {
            {"Delete", Qt::NoModifier},
            {"Shift+Delete", Qt::ShiftModifier},
            {"Ctrl+Delete", Qt::ControlModifier},
            {"Ctrl+Shift+Delete", Qt::ControlModifier | Qt::ShiftModifier},
            {"Alt+Delete", Qt::AltModifier},
        };
        addEachStateWith("modifiers", chords);
    }
    // Delete never removes the character after the caret nor a selection, whatever the state;
    // Shift+Delete, which cuts elsewhere, included.
    void deleteNeverActs() {
        QFETCH(Box, state);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        ShownForm w;
        QVERIFY(bringTo(w, state));
        QPlainTextEdit* text1 = text1Of(w);
        if (text1->toPlainText().isEmpty()) {
            QTest::keyClicks(text1, QStringLiteral("ink"));
        }
        const QString before = text1->toPlainText();
        QTest::keyClick(text1, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(text1, Qt::Key_Delete, modifiers);
        QTest::keyClick(text1, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(text1, Qt::Key_Delete, modifiers);
        QCOMPARE(text1->toPlainText(), before);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("pear"));  // nothing cut
    }

    void escape_data() {
        QTest::addColumn<QByteArray>("focus");
        QTest::addColumn<Box>("state");
        QTest::addColumn<QByteArray>("mouse");  // what the mouse did on the background first
        QTest::addColumn<bool>("ends");
        QTest::newRow("box") << QByteArray("Text1") << Box::Typed << QByteArray() << true;
        QTest::newRow("box, panel shown")
            << QByteArray("Text1") << Box::PanelShown << QByteArray() << true;
        QTest::newRow("box, listing shown")
            << QByteArray("Text1") << Box::ListingShown << QByteArray() << false;
        QTest::newRow("box, listing shown, after a click on the background")
            << QByteArray("Text1") << Box::ListingShown << QByteArray("click") << true;
        QTest::newRow("box, listing emptied")
            << QByteArray("Text1") << Box::ListingEmptied << QByteArray() << true;
        QTest::newRow("button") << QByteArray("Command4") << Box::Typed << QByteArray() << false;
        QTest::newRow("button, after a move over the background")
            << QByteArray("Command4") << Box::Typed << QByteArray("move") << true;
        QTest::newRow("button, after a click on the background")
            << QByteArray("Command4") << Box::Typed << QByteArray("click") << true;
        QTest::newRow("panel button")
            << QByteArray("Command3") << Box::PanelShown << QByteArray() << false;
        QTest::newRow("panel button, after a move over the background")
            << QByteArray("Command3") << Box::PanelShown << QByteArray("move") << true;
    }
    // Esc ends the program from the box while nothing is on show, and from anywhere once the
    // mouse has been on the window's background.
    void escape() {
        QFETCH(QByteArray, focus);
        QFETCH(Box, state);
        QFETCH(QByteArray, mouse);
        QFETCH(bool, ends);
        ShownForm w;
        QVERIFY(bringTo(w, state));
        QWindow* window = w.form.windowHandle();
        if (mouse == "move") {
            // Two moves: Qt drops a move to where the pointer already is, which an earlier row
            // may have left it.
            QTest::mouseMove(window, kBackground + QPoint(2, 0));
            QTest::mouseMove(window, kBackground);
        } else if (mouse == "click") {
            QTest::mouseClick(window, Qt::LeftButton, {}, kBackground);
        }
        QTest::keyClick(w[focus.constData()], Qt::Key_Escape);
        QCOMPARE(w.platform.endedWith, ends ? std::optional<int>(0) : std::nullopt);
    }

    void doubleClickInTheBox_data() {
        QTest::addColumn<Box>("state");
        QTest::addColumn<QString>("typedAfter");
        QTest::addColumn<QString>("expected");  // empty: the box is left as it was
        QTest::newRow("nothing saved yet") << Box::Typed << QString() << "";
        QTest::newRow("panel shown, query typed on")
            << Box::PanelShown << QStringLiteral(" pie") << "apple";
        QTest::newRow("listing shown") << Box::ListingShown << QString() << QString();
        QTest::newRow("listing emptied") << Box::ListingEmptied << QString() << "";
        QTest::newRow("cleared") << Box::Cleared << QString() << "apple";
        QTest::newRow("cleared, then typed into")
            << Box::Cleared << QStringLiteral("ink") << "apple";
    }
    // A double-click brings back the last query the translate button saved (nothing before the
    // first press), unless a listing is on show.
    void doubleClickInTheBox() {
        QFETCH(Box, state);
        QFETCH(QString, typedAfter);
        QFETCH(QString, expected);
        ShownForm w;
        QVERIFY(bringTo(w, state));
        QPlainTextEdit* text1 = text1Of(w);
        QTest::keyClick(text1, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(text1, typedAfter);
        const QString before = text1->toPlainText();
        QTest::mouseDClick(text1->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(text1->toPlainText(), expected.isNull() ? before : expected);
    }

private:
    // A point of the background picture between the controls: above the box, left of the title.
    static constexpr QPoint kBackground{8, 8};
};

}  // namespace moshitong::testing

QTEST_MAIN(moshitong::testing::InputBoxTest)
#include "input_box_test.moc"
