#pragma once
// What the window needs from the desktop beyond its own widgets: modal message boxes, the beep,
// the web browser and ending the process. Tests put a recording fake in its place, so that no box
// waits for a click that never comes and "end the program" ends only the test's window.

#include <QString>

class QUrl;
class QWidget;

namespace moshitong {

// Whether the window system lets a program place its own top-level windows. Wayland does not;
// there a window is dragged by asking the window system to move it.
bool programMayMoveItsWindows(const QString& platformName);

// The program's title: the window caption, and the title of every message box it shows.
inline constexpr char16_t kProgramTitle[] = u"墨石通";

class Platform {
public:
    virtual ~Platform() = default;

    // A modal box with one OK button and the error icon.
    virtual void showError(QWidget* parent, const QString& text) = 0;
    // A modal Yes/No box without an icon, Yes the default; true when Yes was chosen.
    virtual bool confirm(QWidget* parent, const QString& prompt) = 0;
    virtual void beep() = 0;
    // Hands a web page to the user's browser; `parent` owns whatever the system shows meanwhile.
    virtual void openUrl(QWidget* parent, const QUrl& url) = 0;
    // Ends the process at once. The real one never returns; a fake may.
    virtual void endProgram(int exitCode) = 0;
};

class DesktopPlatform final : public Platform {
public:
    void showError(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& prompt) override;
    void beep() override;
    void openUrl(QWidget* parent, const QUrl& url) override;
    [[noreturn]] void endProgram(int exitCode) override;
};

}  // namespace moshitong
