#pragma once
// The window model of the lookup logic, implemented over the real widgets of Form1.
//
// Line breaks. The lookups see the box's text with CR LF between lines; Qt's text document keeps
// a paragraph separator instead. A CR LF written to the box becomes a paragraph break and reads
// back as CR LF. A CR or LF standing alone (an explanation in the store may hold one) is shown as
// a line break inside the paragraph. Reading returns exactly the text last written as long as
// the box still shows it; once the user has edited the box, every line break reads as CR LF, as
// a classic text box types it.

#include <QString>

#include <string>
#include <string_view>

#include "core/window_model.h"

class QFrame;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace moshitong {

class Platform;

// The box's document text (paragraph and line separators) for a model text with CR LF.
QString toBoxText(std::u16string_view text);
// The model text for the box's raw document text.
std::u16string fromBoxText(const QString& raw);

// The text of the run-time error report: error number, then its description.
QString runTimeErrorText(const RunTimeError& error);

struct WindowControls {
    QWidget* form = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QFrame* Frame1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QPushButton* Command4 = nullptr;
};

class WidgetWindow final : public WindowModel {
public:
    WidgetWindow(const WindowControls& controls, Platform& platform);

    std::u16string Text1Text() const override;
    bool Text1Empty() const override;
    void setText1Text(std::u16string_view text) override;
    void Text1SetFocus() override;

    bool Frame1Visible() const override;
    void setFrame1Visible(bool visible) override;

    bool Option1Value() const override;
    bool Option2Value() const override;
    void selectOption1() override;
    void selectOption2() override;

    std::u16string Command4Caption() const override;
    void setCommand4Caption(std::u16string_view caption) override;

    void beep() override;
    void reportError(const RunTimeError& error) override;

private:
    WindowControls controls_;
    Platform& platform_;
    std::u16string written_;  // the text last written, exactly
    QString writtenRaw_;      // what the document held right after that write
};

}  // namespace moshitong
