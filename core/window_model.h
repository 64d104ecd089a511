#pragma once
// The control state the lookup logic reads and writes. The Qt window implements it over its
// widgets; MemoryWindow implements it in memory for the command-line tool and the tests.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/schema.h"

namespace moshitong {

inline constexpr std::u16string_view kCaptionTranslate = u"翻 译";
inline constexpr std::u16string_view kCaptionClear = u"清 除";

// What the run-time error report shows: an error number and its description (UTF-8).
class RunTimeError {
public:
    RunTimeError(int number, std::string description)
        : number_(number), description_(std::move(description)) {}
    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }

private:
    int number_;
    std::string description_;
};

class WindowModel {
public:
    virtual ~WindowModel() = default;

    virtual std::u16string Text1Text() const = 0;  // lines separated by CR LF
    // Without copying the text, which may be huge.
    virtual bool Text1Empty() const = 0;
    virtual void setText1Text(std::u16string_view text) = 0;
    virtual void Text1SetFocus() = 0;

    virtual bool Frame1Visible() const = 0;
    virtual void setFrame1Visible(bool visible) = 0;

    // Option1 and Option2 are one exclusive pair: selecting one deselects the other.
    virtual bool Option1Value() const = 0;
    virtual bool Option2Value() const = 0;
    virtual void selectOption1() = 0;
    virtual void selectOption2() = 0;

    virtual std::u16string Command4Caption() const = 0;
    virtual void setCommand4Caption(std::u16string_view caption) = 0;

    virtual void beep() = 0;
    virtual void reportError(const RunTimeError& error) = 0;
};

// Not final: a test puts a failing control in place by overriding one member.
class MemoryWindow : public WindowModel {
public:
    std::u16string text;
    bool textHasFocus = false;
    bool frameVisible = false;
    bool option1 = true;
    bool option2 = false;
    std::u16string caption{kCaptionTranslate};
    int beeps = 0;
    std::vector<RunTimeError> errors;

    std::u16string Text1Text() const override { return text; }
    bool Text1Empty() const override { return text.empty(); }
    void setText1Text(std::u16string_view t) override { text = t; }
    void Text1SetFocus() override { textHasFocus = true; }
    bool Frame1Visible() const override { return frameVisible; }
    void setFrame1Visible(bool visible) override { frameVisible = visible; }
    bool Option1Value() const override { return option1; }
    bool Option2Value() const override { return option2; }
    void selectOption1() override { option1 = true, option2 = false; }
    void selectOption2() override { option1 = false, option2 = true; }
    std::u16string Command4Caption() const override { return caption; }
    void setCommand4Caption(std::u16string_view c) override { caption = c; }
    void beep() override { ++beeps; }
    void reportError(const RunTimeError& error) override { errors.push_back(error); }
};

}  // namespace moshitong
