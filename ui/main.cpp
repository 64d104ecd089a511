// 墨石通: the application and its one window. Form1's Load event opens the dictionary; when that
// fails the window is never shown and the program ends with kExitStoreUnavailable.

#include <QApplication>

#include "ui/form1.h"
#include "ui/platform.h"
#include "ui/translations.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const moshitong::PlatformTranslations translations(QLocale::system());
    moshitong::DesktopPlatform desktop;
    moshitong::Form1 form(desktop);
    if (!form.load()) {
        return moshitong::kExitStoreUnavailable;
    }
    form.show();
    return QApplication::exec();
}
