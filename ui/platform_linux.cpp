#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include "ui/platform.h"

namespace moshitong {

void DesktopPlatform::beep() {
    QApplication::beep();
}

void DesktopPlatform::openUrl(QWidget* /*parent*/, const QUrl& url) {
    QDesktopServices::openUrl(url);
}

}  // namespace moshitong
