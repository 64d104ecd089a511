// Whole lookups as a user makes them: keys into the box, clicks on the buttons, the listing in
// the box; and a start-up that cannot open its store.

#include <QFile>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <iostream>
#include <sstream>

#include "lookup/handlers.h"
#include "ui_test_support.h"

namespace moshitong::testing {

namespace {

QString entry(const QString& word, const QString& explanation) {
    return QStringLiteral("\n%1\n\n%2\n\n%3").arg(word, explanation, q(kSeparator));
}

}  // namespace

class LookupCycleTest : public QObject {
    Q_OBJECT

private slots:
    void englishConciseCycle() {
        ShownForm w;
        auto* text1 = w.operator[]<QPlainTextEdit>("Text1");
        auto* command4 = w.operator[]<QPushButton>("Command4");

        QTest::keyClicks(text1, QStringLiteral("  apple "));
        QTest::mouseClick(command4, Qt::LeftButton);
        QCOMPARE(text1->toPlainText(), QStringLiteral("apple"));
        QVERIFY(w["Frame1"]->isVisible());
        QCOMPARE(command4->text(), QString::fromUtf16(u"清 除"));
        QVERIFY(w.operator[]<QRadioButton>("Option1")->isChecked());

        QTest::mouseClick(w["Command3"], Qt::LeftButton);
        QVERIFY(!w["Frame1"]->isVisible());
        QCOMPARE(text1->toPlainText(), entry("apple", QString::fromUtf16(u"n. 苹果；苹果树")));
        QCOMPARE(w.platform.beeps, 1);
        QVERIFY(w.platform.errors.isEmpty());

        // The listing is locked against typing until it is cleared.
        const QString listing = text1->toPlainText();
        QTest::keyClicks(text1, QStringLiteral("x"));
        QTest::keyClick(text1, Qt::Key_Backspace);
        QTest::keyClick(text1, Qt::Key_Return);
        QCOMPARE(text1->toPlainText(), listing);

        QTest::mouseClick(command4, Qt::LeftButton);
        QCOMPARE(text1->toPlainText(), QString());
        QCOMPARE(command4->text(), QString::fromUtf16(u"翻 译"));
        QVERIFY(!w["Frame1"]->isVisible());
        QCOMPARE(QApplication::focusWidget(), text1);

        // Unlocked again, and a double-click brings the query back.
        QTest::keyClicks(text1, QStringLiteral("ink"));
        QCOMPARE(text1->toPlainText(), QStringLiteral("ink"));
        QTest::mouseDClick(text1->viewport(), Qt::LeftButton);
        QCOMPARE(text1->toPlainText(), QStringLiteral("apple"));
    }

    void fuzzyConciseListsEveryMatch() {
        ShownForm w;
        auto* text1 = w.operator[]<QPlainTextEdit>("Text1");
        QTest::keyClicks(text1, QStringLiteral("app"));
        QTest::mouseClick(w["Command4"], Qt::LeftButton);
        auto* option2 = w.operator[]<QRadioButton>("Option2");
        QTest::mouseClick(option2, Qt::LeftButton, {}, QPoint(6, option2->height() / 2));
        QTest::mouseClick(w["Command3"], Qt::LeftButton);
        QCOMPARE(text1->toPlainText(), entry("apple", QString::fromUtf16(u"n. 苹果；苹果树")) +
                                           entry("app", QString::fromUtf16(u"n. 应用程序")));
    }

    void chineseProfessionalLookup() {
        ShownForm w;
        auto* text1 = w.operator[]<QPlainTextEdit>("Text1");
        // Chinese arrives as an input method's commit, as it does from a pinyin input method.
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf16(u"墨水"));
        QApplication::sendEvent(text1, &commit);
        QCOMPARE(text1->toPlainText(), QString::fromUtf16(u"墨水"));
        QTest::mouseClick(w["Command4"], Qt::LeftButton);
        QVERIFY(w["Frame1"]->isVisible());
        QTest::mouseClick(w["Command2"], Qt::LeftButton);
        QCOMPARE(text1->toPlainText(), entry(QString::fromUtf16(u"墨水"), "ink"));
        QCOMPARE(w.platform.beeps, 1);
    }

    void nothingFoundShowsTheApology() {
        // A quote in the query is just a character: it finds nothing, and fails nothing.
        for (const QString& word : {QStringLiteral("zebra"), QStringLiteral("it's")}) {
            ShownForm w;
            auto* text1 = w.operator[]<QPlainTextEdit>("Text1");
            QTest::keyClicks(text1, word);
            QTest::mouseClick(w["Command4"], Qt::LeftButton);
            QTest::mouseClick(w["Command3"], Qt::LeftButton);
            QCOMPARE(text1->toPlainText(), q(kApologyEnglish));
            QCOMPARE(w.platform.beeps, 1);
            QVERIFY(w.platform.errors.isEmpty());
        }
    }

    void readsAheadOnceShownThenRests() {
        const TestStore store = TestStore::fromFixtures();
        FakePlatform platform;
        Form1 form(platform, store.path());
        QVERIFY(form.load());
        auto* readAhead = form.findChild<QTimer*>(QStringLiteral("ReadAhead"));
        QVERIFY(readAhead != nullptr);
        const QSignalSpy steps(readAhead, &QTimer::timeout);
        QVERIFY(!readAhead->isActive());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_VERIFY(!readAhead->isActive());
        // A step for each of the four images, and one that finds nothing left.
        QCOMPARE(steps.count(), 5);
        QVERIFY(platform.errors.isEmpty());
    }

    void startupWithoutAStore_data() {
        QTest::addColumn<QByteArray>("content");  // empty: no file at all
        QTest::addColumn<QString>("description");
        QTest::newRow("missing file") << QByteArray() << "unable to open database file";
        QTest::newRow("not a database") << QByteArray(2048, 'x') << "file is not a database";
        QTest::newRow("missing tables") << QByteArray("-") << "no such table";
    }
    void startupWithoutAStore() {
        QFETCH(QByteArray, content);
        QFETCH(QString, description);
        const TempDir dir;
        const std::filesystem::path store = dir.path() / "lexi";
        if (content == "-") {
            writeStoreSql(store, "CREATE TABLE other (x TEXT)");
        } else if (!content.isEmpty()) {
            QFile file(QString::fromStdString(store.string()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }

        FakePlatform platform;
        Form1 form(platform, store);
        std::ostringstream standardError;
        std::streambuf* const saved = std::cerr.rdbuf(standardError.rdbuf());
        const bool loaded = form.load();
        std::cerr.rdbuf(saved);

        QVERIFY(!loaded);
        QCOMPARE(platform.errors.size(), 1);
        const QString& report = platform.errors.front();
        QVERIFY2(report.contains(QString::fromStdString(store.string())), qPrintable(report));
        QVERIFY2(report.contains(description), qPrintable(report));
        QVERIFY2(report.contains(QRegularExpression(QStringLiteral("运行时错误 [1-9][0-9]*"))),
                 qPrintable(report));
        QCOMPARE(QString::fromStdString(standardError.str()).trimmed(), report.trimmed());
        // Never shown: not even a native window was made for it.
        QVERIFY(!form.isVisible());
        QVERIFY(form.windowHandle() == nullptr);
        QVERIFY(!platform.endedWith.has_value());
    }
};

}  // namespace moshitong::testing

QTEST_MAIN(moshitong::testing::LookupCycleTest)
#include "lookup_cycle_test.moc"
