#include <QUrl>

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "ui/platform.h"

namespace moshitong {

void DesktopPlatform::beep() {
    // The sound the user chose for the system's default beep.
    MessageBeep(MB_OK);
}

void DesktopPlatform::openUrl(const QUrl& url) {
    // The wide call, so that the address reaches the browser whatever the system's code page.
    const std::wstring address = url.toString(QUrl::FullyEncoded).toStdWString();
    ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace moshitong
