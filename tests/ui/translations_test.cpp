// Qt's own texts in the window speak the user's language: the Yes and No of the link's prompt and
// the box's context menu, in Chinese under a Chinese locale and in English under C.

#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include <functional>

#include "ui/translations.h"
#include "ui_test_support.h"

namespace moshitong::testing {

namespace {

// A caption as the user reads it: without its mnemonic ("&Yes", "撤消(&U)") or its shortcut
// ("\tCtrl+Z").
QString readable(QString caption) {
    caption = caption.section(u'\t', 0, 0);
    caption.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    caption.remove(u'&');
    return caption.trimmed();
}

// Runs `inspect` on the widget `find` returns once it is on show, from inside the modal loop that
// shows it; gives up after a few seconds so that a missing box fails instead of hanging.
void whenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> inspect,
               int triesLeft = 100) {
    QTimer::singleShot(50, qApp, [=] {
        if (QWidget* widget = find(); widget != nullptr && widget->isVisible()) {
            inspect(widget);
        } else if (triesLeft > 0) {
            whenShown(find, inspect, triesLeft - 1);
        }
    });
}

}  // namespace

class TranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void qtTextsSpeakTheLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("prompt");
        QTest::addColumn<QStringList>("menu");
        QTest::newRow("zh_CN") << "zh_CN" << QStringList{"是", "否"}
                               << QStringList{"撤消", "重做", "剪切", "复制",
                                              "粘贴", "删除", "全选"};
        QTest::newRow("C") << "C" << QStringList{"Yes", "No"}
                           << QStringList{"Undo",  "Redo",   "Cut",       "Copy",
                                          "Paste", "Delete", "Select All"};
    }
    void qtTextsSpeakTheLocale() {
        QFETCH(QString, locale);
        QFETCH(QStringList, prompt);
        QFETCH(QStringList, menu);
        const PlatformTranslations translations{QLocale(locale)};
        const TestStore store{tinyStoreRows()};
        DesktopPlatform desktop;
        Form1 form(desktop, store.path());
        QVERIFY(form.load());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QStringList promptButtons;
        whenShown([] { return QApplication::activeModalWidget(); },
                  [&](QWidget* widget) {
                      auto* box = qobject_cast<QMessageBox*>(widget);
                      for (const auto button : {QMessageBox::Yes, QMessageBox::No}) {
                          if (box != nullptr && box->button(button) != nullptr) {
                              promptButtons << readable(box->button(button)->text());
                          }
                      }
                      // No: the test must never open the product page.
                      widget->close();
                  });
        QTest::mouseClick(control<QWidget>(form, "Label2"), Qt::LeftButton);
        QCOMPARE(promptButtons, prompt);

        QStringList menuItems;
        whenShown([] { return QApplication::activePopupWidget(); },
                  [&](QWidget* widget) {
                      for (const QAction* action : widget->actions()) {
                          if (!action->isSeparator()) {
                              menuItems << readable(action->text());
                          }
                      }
                      widget->close();
                  });
        // Through the window, as the window system delivers it: only then does Qt turn the
        // right button into a context menu event.
        const QWidget* viewport = control<QPlainTextEdit>(form, "Text1")->viewport();
        QTest::mouseClick(form.windowHandle(), Qt::RightButton, {},
                          viewport->mapTo(&form, viewport->rect().center()));
        // The box pops its menu up without waiting for it.
        QTRY_COMPARE(menuItems, menu);
    }
};

}  // namespace moshitong::testing

QTEST_MAIN(moshitong::testing::TranslationsTest)
#include "translations_test.moc"
