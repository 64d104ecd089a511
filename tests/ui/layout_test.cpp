// The window as it stands before the first key: frame, pictures, every control's place, caption,
// font, colour and initial state, the focus order and which control lies above which.

#include <QAccessible>
#include <QButtonGroup>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include "ui/controls.h"
#include "ui/fonts.h"
#include "ui/scaled_picture.h"
#include "ui_test_support.h"

namespace moshitong::testing {

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void windowFrame() {
        ShownForm w;
        QCOMPARE(w.form.size(), QSize(356, 236));
        QCOMPARE(w.form.minimumSize(), QSize(356, 236));
        QCOMPARE(w.form.maximumSize(), QSize(356, 236));
        QVERIFY(w.form.windowFlags().testFlag(Qt::FramelessWindowHint));
        // A tool or splash window would lose its task-bar entry and, minimised, be unreachable.
        QCOMPARE(w.form.windowType(), Qt::Window);
        QCOMPARE(w.form.windowTitle(), QString::fromUtf16(u"墨石通"));
        QCOMPARE(w.form.windowState(), Qt::WindowNoState);
        QVERIFY(w.form.windowIcon().availableSizes().contains(QSize(32, 32)));
    }

    void pictures() {
        const QImage background(QStringLiteral(":/moshitong/background.png"));
        QCOMPARE(background.size(), QSize(358, 237));
        const QImage button(QStringLiteral(":/moshitong/button.png"));
        QCOMPARE(button.size(), QSize(98, 34));
        const QImage icon(QStringLiteral(":/moshitong/icon.png"));
        QCOMPARE(icon.size(), QSize(32, 32));
        QVERIFY(!icon.hasAlphaChannel());
        QCOMPARE(icon.depth(), 32);  // 24-bit colour, padded to a word per pixel
        // Drawn again for high-density screens, at exactly two and three times the size.
        for (const int scale : {2, 3}) {
            const QString suffix = QStringLiteral("@%1x.png").arg(scale);
            QCOMPARE(QImage(":/moshitong/background" + suffix).size(), QSize(358, 237) * scale);
            QCOMPARE(QImage(":/moshitong/button" + suffix).size(), QSize(98, 34) * scale);
        }
        // The window asks for the picture at every paint, with its screen's ratio: moved to a
        // screen of another density, it gets that one's drawing, pixel for pixel on the screen.
        const ScaledPicture picture(QStringLiteral(":/moshitong/background.png"));
        const QImage drawn2x(QStringLiteral(":/moshitong/background@2x.png"));
        for (const qreal ratio : {1.0, 2.0, 1.5, 3.0, 1.25, 2.0}) {
            const QPixmap& shown = picture.forRatio(ratio);
            QCOMPARE(shown.devicePixelRatio(), ratio);
            QCOMPARE(shown.size(), QSize(qRound(358 * ratio), qRound(237 * ratio)));
        }
        QCOMPARE(picture.forRatio(2.0).toImage().pixelColor(100, 40), drawn2x.pixelColor(100, 40));

        // The background is drawn unscaled from the top-left corner: the window's corner pixel
        // is the picture's corner pixel.
        ShownForm w;
        const QImage shown = w.form.grab().toImage();
        QVERIFY(colourDistance(shown.pixelColor(1, 1), background.pixelColor(1, 1)) < 8);
        QVERIFY(colourDistance(shown.pixelColor(350, 5), background.pixelColor(350, 5)) < 8);
    }

    void geometry_data() {
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("Text1") << "Form1" << QRect(32, 29, 305, 162);
        QTest::newRow("Command4") << "Form1" << QRect(256, 200, 81, 25);
        QTest::newRow("Frame1") << "Form1" << QRect(224, 48, 89, 137);
        QTest::newRow("Command2") << "Frame1" << QRect(8, 72, 73, 25);
        QTest::newRow("Command3") << "Frame1" << QRect(8, 104, 73, 25);
        QTest::newRow("Option1") << "Frame1" << QRect(8, 16, 73, 17);
        QTest::newRow("Option2") << "Frame1" << QRect(8, 40, 73, 17);
        QTest::newRow("Label2") << "Form1" << QRect(16, 200, 185, 25);
        QTest::newRow("Shape1") << "Frame1" << QRect(0, 0, 89, 137);
    }
    void geometry() {
        QFETCH(QString, container);
        QFETCH(QRect, rect);
        ShownForm w;
        const QWidget* widget = w[QTest::currentDataTag()];
        QCOMPARE(widget->parentWidget()->objectName(), container);
        QCOMPARE(widget->geometry(), rect);
    }

    void captionsAndInitialState() {
        ShownForm w;
        QCOMPARE(w.operator[]<QPlainTextEdit>("Text1")->toPlainText(), QString());
        QCOMPARE(w.operator[]<QPushButton>("Command4")->text(), QString::fromUtf16(u"翻 译"));
        QCOMPARE(w.operator[]<QPushButton>("Command2")->text(), QString::fromUtf16(u"专业查询"));
        QCOMPARE(w.operator[]<QPushButton>("Command3")->text(), QString::fromUtf16(u"简明查询"));
        QCOMPARE(w.operator[]<QRadioButton>("Option1")->text(), QString::fromUtf16(u"精确查询"));
        QCOMPARE(w.operator[]<QRadioButton>("Option2")->text(), QString::fromUtf16(u"模糊查询"));
        QCOMPARE(w.operator[]<QLabel>("Label2")->text(), QString());

        QVERIFY(w.operator[]<QRadioButton>("Option1")->isChecked());
        QVERIFY(!w.operator[]<QRadioButton>("Option2")->isChecked());
        QVERIFY(w["Frame1"]->isHidden());
        for (const char* name : {"Text1", "Command4", "Label2"}) {
            QVERIFY2(w[name]->isVisible(), name);
        }
        for (const char* name :
             {"Text1", "Command4", "Frame1", "Command2", "Command3", "Option1", "Option2"}) {
            QVERIFY2(w[name]->isEnabled(), name);
        }
        // Hidden with the panel they sit on.
        for (const char* name : {"Command2", "Command3", "Option1", "Option2", "Shape1"}) {
            QVERIFY2(!w[name]->isVisible(), name);
        }
    }

    void inputBox() {
        ShownForm w;
        auto* text1 = w.operator[]<QPlainTextEdit>("Text1");
        // The vertical bar shows even while the box is empty; there is never a horizontal one.
        QVERIFY(text1->verticalScrollBar()->isVisible());
        QVERIFY(!text1->horizontalScrollBar()->isVisible());
        QCOMPARE(text1->viewport()->grab().toImage().pixelColor(5, 5), QColor(Qt::white));

        // A long line wraps instead of running off to the right.
        QTest::keyClicks(text1, QString(200, u'w'));
        QCOMPARE(text1->document()->blockCount(), 1);
        QVERIFY(text1->document()->firstBlock().layout()->lineCount() > 1);
    }

    void fontsAskedFor_data() {
        QTest::addColumn<qreal>("points");
        QTest::newRow("Text1") << 10.5;
        QTest::newRow("Command4") << 12.0;
        // Controls without a font of their own take the window's.
        QTest::newRow("Command2") << 9.0;
        QTest::newRow("Command3") << 9.0;
        QTest::newRow("Option1") << 9.0;
        QTest::newRow("Option2") << 9.0;
    }
    void fontsAskedFor() {
        QFETCH(qreal, points);
        ShownForm w;
        const QFont font = w[QTest::currentDataTag()]->font();
        QCOMPARE(font.pointSizeF(), points);
        QCOMPARE(font.weight(), QFont::Normal);
        QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
        QCOMPARE(font.family(),
                 chooseSongFace(QFontDatabase::families(QFontDatabase::SimplifiedChinese)));
        // Whatever face the system resolved, it draws the captions and listings: no empty boxes.
        const QFontMetrics metrics(font);
        for (const char16_t c : std::u16string_view(u"墨石通翻译清除精确模糊简明专业查询苹果a")) {
            QVERIFY2(metrics.inFont(QChar(c)), qPrintable(QString(QChar(c))));
        }
        // The dictionary's rarest characters, of CJK Extensions B, E and G (in the entries of 怂,
        // 彉 and 𱅒), come from the faces behind the Song face; a private-use one (in Garrick's
        // entry) is an empty box, never a glyph some face put there.
        for (const char32_t c : {U'\U0002AA0A', U'\U0002D6A6', U'\U00031152'}) {
            const QString family = drawingFamily(font, c);
            QVERIFY2(!family.isEmpty() && family != privateUseFamily(),
                     qPrintable(QString::fromUcs4(&c, 1)));
        }
        QCOMPARE(drawingFamily(font, U'\uE235'), privateUseFamily());
    }

    void songFaceChoice_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("SimSun itself")
            << QStringList{"Noto Sans CJK SC", "Noto Serif CJK SC", "宋体"} << "宋体";
        QTest::newRow("English name") << QStringList{"Noto Serif CJK SC", "SimSun"} << "SimSun";
        QTest::newRow("Noto serif")
            << QStringList{"Noto Sans CJK SC", "Noto Serif CJK SC"} << "Noto Serif CJK SC";
        QTest::newRow("AR PL Ming")
            << QStringList{"WenQuanYi Zen Hei", "AR PL UMing CN"} << "AR PL UMing CN";
        QTest::newRow("a serif by name")
            << QStringList{"Droid Sans Fallback", "Foo Serif SC"} << "Foo Serif SC";
        QTest::newRow("any Chinese face")
            << QStringList{"WenQuanYi Zen Hei"} << "WenQuanYi Zen Hei";
        QTest::newRow("none") << QStringList{} << "宋体";
    }
    void songFaceChoice() {
        QFETCH(QStringList, installed);
        QFETCH(QString, chosen);
        QCOMPARE(chooseSongFace(installed), chosen);
    }

    void translateButtonFace() {
        ShownForm w;
        auto* command4 = w.operator[]<PictureButton>("Command4");
        // The jade face shows around the caption: green dominates a pixel between the letters.
        const QImage face = command4->grab().toImage();
        const QColor sample = face.pixelColor(6, face.height() / 2);
        QVERIFY(sample.green() > sample.red() + 20 && sample.green() > sample.blue() + 20);
    }

    void focusOrderWhilePanelHidden() {
        ShownForm w;
        QTRY_COMPARE(QApplication::focusWidget(), w["Text1"]);
        QCOMPARE(tabFrom(w["Text1"]), w["Command4"]);
        QCOMPARE(tabFrom(w["Command4"]), w["Text1"]);
    }

    void focusOrderWhilePanelShown() {
        ShownForm w;
        QTest::keyClicks(w["Text1"], QStringLiteral("apple"));
        QTest::mouseClick(w["Command4"], Qt::LeftButton);
        QVERIFY(w["Frame1"]->isVisible());
        // The option pair is one stop in the order, at the selected option.
        const char* order[] = {"Text1", "Command4", "Command2", "Command3", "Option1", "Text1"};
        for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
            QCOMPARE(tabFrom(w[order[i]]), w[order[i + 1]]);
        }
        auto* option2 = w.operator[]<QRadioButton>("Option2");
        QTest::mouseClick(option2, Qt::LeftButton, {}, QPoint(6, option2->height() / 2));
        QCOMPARE(tabFrom(w["Command3"]), option2);
        QCOMPARE(tabFrom(option2), w["Text1"]);
    }

    void neverFocused() {
        ShownForm w;
        for (const char* name : {"Label2", "Frame1", "Shape1"}) {
            QCOMPARE(w[name]->focusPolicy(), Qt::NoFocus);
        }
        QVERIFY(!w["Label2"]->autoFillBackground());
    }

    void panelLiesAboveTheBox() {
        ShownForm w;
        QWidget* text1 = w["Text1"];
        QWidget* frame1 = w["Frame1"];
        QVERIFY(text1->geometry().contains(frame1->geometry()));
        const QPoint panelEmptyPart = frame1->geometry().topLeft() + QPoint(80, 130);
        QCOMPARE(w.form.childAt(panelEmptyPart),
                 text1->findChild<QWidget*>("qt_scrollarea_viewport"));

        QTest::keyClicks(text1, QStringLiteral("apple"));
        QTest::mouseClick(w["Command4"], Qt::LeftButton);
        QCOMPARE(w.form.childAt(panelEmptyPart), frame1);
        const QWidget* option1 = w["Option1"];
        QCOMPARE(w.form.childAt(option1->mapTo(&w.form, QPoint(10, 8))), option1);
        // The outline lies under the panel's buttons.
        QCOMPARE(frame1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).front(), w["Shape1"]);
        // The box's scroll bar stays outside the panel and usable.
        QScrollBar* bar = w.operator[]<QPlainTextEdit>("Text1")->verticalScrollBar();
        const QRect barRect(bar->mapTo(&w.form, QPoint(0, 0)), bar->size());
        QVERIFY(!barRect.intersects(frame1->geometry()));
        QCOMPARE(w.form.childAt(barRect.center()), bar);
    }

    void accessibleNames() {
        ShownForm w;
        for (const char* name : {"Form1", "Text1", "Command4", "Frame1", "Command2", "Command3",
                                 "Option1", "Option2", "Label2", "Shape1"}) {
            const QWidget* widget =
                name == QLatin1String("Form1") ? &w.form : w.operator[]<QWidget>(name);
            QVERIFY2(!widget->accessibleName().isEmpty(), name);
        }
        QAccessibleInterface* link = QAccessible::queryAccessibleInterface(w["Label2"]);
        QVERIFY(link != nullptr);
        QCOMPARE(link->role(), QAccessible::Link);
        QCOMPARE(link->text(QAccessible::Name), QString::fromUtf16(u"墨石通官方网站"));
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(w["Command4"]);
        QCOMPARE(button->role(), QAccessible::Button);
        QCOMPARE(button->text(QAccessible::Name), QString::fromUtf16(u"翻 译"));
    }

private:
    static int colourDistance(const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue());
    }

    // The control that has the focus after Tab is pressed on `from`.
    static QWidget* tabFrom(QWidget* from) {
        from->setFocus(Qt::TabFocusReason);
        QTest::keyClick(from, Qt::Key_Tab);
        return QApplication::focusWidget();
    }
};

}  // namespace moshitong::testing

QTEST_MAIN(moshitong::testing::LayoutTest)
#include "layout_test.moc"
