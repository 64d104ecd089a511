// From the press of 专业查询 to the listing painted, in the real window, for the 101-entry
// professional listing of `e`, the first lookup of a session. With --cold (as root) the kernel's
// page cache is dropped first, so the store's pages and the font's glyphs come from the disk, as
// they do the first time after the machine has been busy with other work.
//
// Usage: listing_probe [--cold] [STORE]
// Output (one line): listing_ms=T handler_ms=H chars=N, H the part before the painting

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QWindow>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/store.h"
#include "ui/form1.h"
#include "ui/platform.h"

namespace {

template <typename Widget>
Widget& control(const QWidget& form, const char* name) {
    auto* widget = form.findChild<Widget*>(QLatin1String(name));
    if (widget == nullptr) {
        std::fprintf(stderr, "listing_probe: the window has no %s\n", name);
        std::exit(2);
    }
    return *widget;
}

// The event loop's turns for a while, so that start-up and reading ahead are over.
void settle(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
}

bool dropPageCache() {
    std::ofstream control("/proc/sys/vm/drop_caches");
    control << "3\n";
    return static_cast<bool>(control.flush());
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    bool cold = false;
    std::filesystem::path store = moshitong::defaultDictionaryPath();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--cold") == 0) {
            cold = true;
        } else {
            store = argv[i];
        }
    }
    moshitong::DesktopPlatform desktop;
    moshitong::Form1 form(desktop, store);
    if (!form.load()) {
        return 1;
    }
    form.show();
    settle(1000);
    auto& box = control<QPlainTextEdit>(form, "Text1");
    box.setPlainText(QStringLiteral("e"));
    control<QPushButton>(form, "Command4").click();
    control<QRadioButton>(form, "Option2").click();
    settle(200);
    if (cold) {
        ::sync();
        if (!dropPageCache()) {
            std::fprintf(stderr, "listing_probe: --cold needs root (/proc/sys/vm/drop_caches)\n");
            return 2;
        }
    }
    QElapsedTimer timer;
    timer.start();
    control<QPushButton>(form, "Command2").click();
    const double handled = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    form.repaint();
    const double painted = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("listing_ms=%.1f handler_ms=%.1f chars=%lld\n", painted, handled,
                static_cast<long long>(box.toPlainText().size()));
    return 0;
}
