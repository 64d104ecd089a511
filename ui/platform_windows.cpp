#include <QUrl>
#include <QWidget>

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "ui/platform.h"

namespace moshitong {

void DesktopPlatform::beep() {
    // The sound the user chose for the system's default beep.
    MessageBeep(MB_OK);
}

void DesktopPlatform::openUrl(QWidget* parent, const QUrl& url) {
    // The wide call, so that the address reaches the browser whatever the system's code page.
    const std::wstring address = url.toString(QUrl::FullyEncoded).toStdWString();
    // With the window as owner, a box the shell shows on the way (no browser set, say) stays in
    // front of the window instead of somewhere behind it.
    const HWND owner =
        parent != nullptr ? reinterpret_cast<HWND>(parent->window()->winId()) : nullptr;
    ShellExecuteW(owner, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace moshitong
