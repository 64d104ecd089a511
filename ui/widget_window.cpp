#include "ui/widget_window.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>

#include "ui/platform.h"

namespace moshitong {

namespace {

QString fromModel(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string toModel(const QString& text) {
    return text.toStdU16String();
}

}  // namespace

QString toBoxText(std::u16string_view text) {
    QString box;
    box.reserve(static_cast<qsizetype>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            box.append(QChar::ParagraphSeparator);
            ++i;
        } else if (unit == u'\r' || unit == u'\n') {
            box.append(QChar::LineSeparator);
        } else {
            box.append(QChar(unit));
        }
    }
    return box;
}

std::u16string fromBoxText(const QString& raw) {
    std::u16string text;
    text.reserve(static_cast<std::size_t>(raw.size()));
    for (const QChar c : raw) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            text += u"\r\n";
        } else {
            text += c.unicode();
        }
    }
    return text;
}

QString runTimeErrorText(const RunTimeError& error) {
    return QStringLiteral("运行时错误 %1：\n\n%2")
        .arg(error.number())
        .arg(QString::fromStdString(error.description()));
}

WidgetWindow::WidgetWindow(const WindowControls& controls, Platform& platform)
    : controls_(controls), platform_(platform) {
}

std::u16string WidgetWindow::Text1Text() const {
    const QString raw = controls_.Text1->document()->toRawText();
    if (raw == writtenRaw_) {
        return written_;
    }
    return fromBoxText(raw);
}

bool WidgetWindow::Text1Empty() const {
    return controls_.Text1->document()->isEmpty();
}

void WidgetWindow::setText1Text(std::u16string_view text) {
    controls_.Text1->setPlainText(toBoxText(text));
    written_ = text;
    writtenRaw_ = controls_.Text1->document()->toRawText();
}

void WidgetWindow::Text1SetFocus() {
    controls_.Text1->setFocus(Qt::OtherFocusReason);
}

bool WidgetWindow::Frame1Visible() const {
    return !controls_.Frame1->isHidden();
}

void WidgetWindow::setFrame1Visible(bool visible) {
    controls_.Frame1->setVisible(visible);
}

bool WidgetWindow::Option1Value() const {
    return controls_.Option1->isChecked();
}

bool WidgetWindow::Option2Value() const {
    return controls_.Option2->isChecked();
}

void WidgetWindow::selectOption1() {
    controls_.Option1->setChecked(true);
}

void WidgetWindow::selectOption2() {
    controls_.Option2->setChecked(true);
}

std::u16string WidgetWindow::Command4Caption() const {
    return toModel(controls_.Command4->text());
}

void WidgetWindow::setCommand4Caption(std::u16string_view caption) {
    controls_.Command4->setText(fromModel(caption));
    // A screen reader announces what the button does now, not what it did at start.
    controls_.Command4->setAccessibleName(fromModel(caption));
}

void WidgetWindow::beep() {
    platform_.beep();
}

void WidgetWindow::reportError(const RunTimeError& error) {
    platform_.showError(controls_.form, runTimeErrorText(error));
}

}  // namespace moshitong
