// The lookup logic's view of the window (WidgetWindow) against the real widgets: what it writes
// is what the user sees, and what the user does is what it reads.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "ui/widget_window.h"
#include "ui_test_support.h"

namespace moshitong::testing {

class WindowModelTest : public QObject {
    Q_OBJECT

private slots:
    void textRoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("linesShown");
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("one line") << "apple" << 1;
        QTest::newRow("CR LF") << "ice\r\ncream" << 2;
        QTest::newRow("listing") << "\r\napple\r\n\r\nn. 苹果\r\n\r\n--------" << 6;
        QTest::newRow("trailing CR LF") << "apple\r\n" << 2;
        QTest::newRow("lone LF") << "line\nfeed" << 1;
        QTest::newRow("lone CR") << "carriage\rreturn" << 1;
        QTest::newRow("mixed") << "\r\r\n\n\r\n" << 3;
        QTest::newRow("spaces kept") << "  a\u3000b\u00a0c  " << 1;
        QTest::newRow("quote") << "it's" << 1;
    }
    // Whatever the lookups write, they read back exactly; CR LF pairs are the box's lines.
    void textRoundTrip() {
        QFETCH(QString, text);
        QFETCH(int, linesShown);
        ShownForm w;
        const auto model = modelOver(w);
        model->setText1Text(text.toStdU16String());
        QCOMPARE(q(model->Text1Text()), text);
        QCOMPARE(model->Text1Empty(), text.isEmpty());
        QCOMPARE(w.operator[]<QPlainTextEdit>("Text1")->document()->blockCount(), linesShown);
    }

    void writtenTextIsShown() {
        ShownForm w;
        modelOver(w)->setText1Text(u"\r\napple\r\n\r\nn. 苹果");
        QCOMPARE(w.operator[]<QPlainTextEdit>("Text1")->toPlainText(),
                 QString::fromUtf16(u"\napple\n\nn. 苹果"));
    }

    void typedLineBreaksReadAsCrLf() {
        ShownForm w;
        QWidget* text1 = w["Text1"];
        QTest::keyClicks(text1, QStringLiteral("ice"));
        QTest::keyClick(text1, Qt::Key_Return);
        QTest::keyClicks(text1, QStringLiteral("cream"));
        QTest::keyClick(text1, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(text1, QStringLiteral("cone"));
        QCOMPARE(q(modelOver(w)->Text1Text()), q(u"ice\r\ncream\r\ncone"));
    }

    void editedTextReadsAsTheBoxShowsIt() {
        ShownForm w;
        const auto model = modelOver(w);
        model->setText1Text(u"a\nb\r\nc");
        auto* text1 = w.operator[]<QPlainTextEdit>("Text1");
        text1->moveCursor(QTextCursor::End);
        QTest::keyClicks(text1, QStringLiteral("d"));
        // Once edited, a lone line break the program wrote reads as the line break it shows.
        QCOMPARE(q(model->Text1Text()), q(u"a\r\nb\r\ncd"));
    }

    void focus() {
        ShownForm w;
        w["Command4"]->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), w["Command4"]);
        modelOver(w)->Text1SetFocus();
        QCOMPARE(QApplication::focusWidget(), w["Text1"]);
    }

    void panel() {
        ShownForm w;
        const auto model = modelOver(w);
        QVERIFY(!model->Frame1Visible());
        model->setFrame1Visible(true);
        QVERIFY(w["Frame1"]->isVisible());
        QVERIFY(w["Command3"]->isVisible());
        QVERIFY(model->Frame1Visible());
        model->setFrame1Visible(false);
        QVERIFY(!w["Frame1"]->isVisible());
        QVERIFY(!model->Frame1Visible());
    }

    void optionsAreOneExclusivePair() {
        ShownForm w;
        const auto model = modelOver(w);
        auto* option1 = w.operator[]<QRadioButton>("Option1");
        auto* option2 = w.operator[]<QRadioButton>("Option2");
        QVERIFY(model->Option1Value() && !model->Option2Value());

        model->selectOption2();
        QVERIFY(!option1->isChecked() && option2->isChecked());
        QVERIFY(!model->Option1Value() && model->Option2Value());

        model->setFrame1Visible(true);
        QTest::mouseClick(option1, Qt::LeftButton, {}, QPoint(6, option1->height() / 2));
        QVERIFY(model->Option1Value() && !model->Option2Value());
        QTest::mouseClick(option2, Qt::LeftButton, {}, QPoint(6, option2->height() / 2));
        QVERIFY(!model->Option1Value() && model->Option2Value());

        model->selectOption1();
        QVERIFY(option1->isChecked() && !option2->isChecked());
    }

    void caption() {
        ShownForm w;
        const auto model = modelOver(w);
        auto* command4 = w.operator[]<QPushButton>("Command4");
        QCOMPARE(q(model->Command4Caption()), q(kCaptionTranslate));
        model->setCommand4Caption(kCaptionClear);
        QCOMPARE(command4->text(), QString::fromUtf16(u"清 除"));
        QCOMPARE(command4->accessibleName(), QString::fromUtf16(u"清 除"));
        QCOMPARE(q(model->Command4Caption()), q(kCaptionClear));
    }

    void beepAndErrorReport() {
        ShownForm w;
        const auto model = modelOver(w);
        model->beep();
        QCOMPARE(w.platform.beeps, 1);
        model->reportError(RunTimeError(1, "near \"s\": syntax error"));
        QCOMPARE(w.platform.errors.size(), 1);
        QVERIFY(w.platform.errors.front().contains(QStringLiteral("运行时错误 1")));
        QVERIFY(w.platform.errors.front().contains(QStringLiteral("near \"s\": syntax error")));
    }

private:
    // A model over the window's own widgets, as the window builds its own.
    static std::unique_ptr<WindowModel> modelOver(ShownForm& w) {
        return std::make_unique<WidgetWindow>(
            WindowControls{&w.form, w.operator[]<QPlainTextEdit>("Text1"),
                           w.operator[]<QFrame>("Frame1"), w.operator[]<QRadioButton>("Option1"),
                           w.operator[]<QRadioButton>("Option2"),
                           w.operator[]<QPushButton>("Command4")},
            w.platform);
    }
};

}  // namespace moshitong::testing

QTEST_MAIN(moshitong::testing::WindowModelTest)
#include "window_model_test.moc"
