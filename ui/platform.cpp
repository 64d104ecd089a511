// The desktop parts every system shares; the beep and the browser are in platform_<system>.cpp.
#include "ui/platform.h"

#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace moshitong {

bool programMayMoveItsWindows(const QString& platformName) {
    return !platformName.startsWith(QLatin1String("wayland"));
}

void DesktopPlatform::showError(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf16(kProgramTitle), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

bool DesktopPlatform::confirm(QWidget* parent, const QString& prompt) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf16(kProgramTitle), prompt,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void DesktopPlatform::endProgram(int exitCode) {
    // Nothing is saved and the store is read-only, so there is nothing to unwind; leaving at once
    // also guarantees that no further handler runs, not even the window's own close handling.
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

}  // namespace moshitong
