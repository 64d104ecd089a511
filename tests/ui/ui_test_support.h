#pragma once
// What the window tests share: a platform that records instead of showing boxes or ending the
// process, the small store they look words up in, and finding controls by name.

#include <QApplication>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <QWindow>
#include <QtTest>

#include <optional>

#include "tests/support/tiny_store.h"
#include "ui/form1.h"
#include "ui/platform.h"

namespace moshitong::testing {

class FakePlatform final : public Platform {
public:
    QStringList errors;
    QStringList prompts;
    bool answerYes = false;
    int beeps = 0;
    QList<QUrl> opened;
    QWidget* openedFrom = nullptr;
    std::optional<int> endedWith;

    void showError(QWidget*, const QString& text) override { errors << text; }
    bool confirm(QWidget*, const QString& prompt) override {
        prompts << prompt;
        return answerYes;
    }
    void beep() override { ++beeps; }
    void openUrl(QWidget* parent, const QUrl& url) override {
        opened << url;
        openedFrom = parent;
    }
    void endProgram(int exitCode) override { endedWith = exitCode; }
};

// Model text as a QString, so comparisons print readably when they fail.
inline QString q(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename Widget>
Widget* control(const QWidget& form, const char* name) {
    auto* widget = form.findChild<Widget*>(QLatin1String(name));
    if (widget == nullptr) {
        qFatal("no control named %s", name);
    }
    return widget;
}

// The window on the tiny store, loaded, shown and active, as a user first sees it.
struct ShownForm {
    TestStore store{tinyStoreRows()};
    FakePlatform platform;
    Form1 form{platform, store.path()};

    ShownForm() {
        if (!form.load()) {
            qFatal("the tiny store did not open");
        }
        form.show();
        QApplication::setActiveWindow(&form);
        if (!QTest::qWaitForWindowActive(&form)) {
            qFatal("the window never became active");
        }
    }
    template <typename Widget = QWidget>
    Widget* operator[](const char* name) const {
        return control<Widget>(form, name);
    }
    // Where a user's pointer events arrive: the window system's window, not the widget.
    QWindow* window() const { return form.windowHandle(); }
};

}  // namespace moshitong::testing
