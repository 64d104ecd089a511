#pragma once
// The handlers' two failure policies, for every exception alike. A handler without a policy of
// its own (start-up, the concise lookup, the window's handlers) stops at the first failure and
// shows it with the run-time error report; the professional lookup and the translate button skip
// a failing step silently and go on, and a test that fails counts as holding.

#include <exception>

#include "core/window_model.h"

namespace moshitong {

// A store failure keeps its own number and text; running out of memory is error 7, "内存不足";
// anything else is error 51, "内部错误", followed by the exception's message.
RunTimeError runTimeErrorOf(const std::exception_ptr& failure);

// Shows the exception being handled; call it inside a catch block. A report that fails in turn
// is dropped: there is nothing left to tell the user with.
void reportCurrentException(WindowModel& window) noexcept;

// Runs a handler under the report policy; false when it failed.
template <typename Handler>
bool reportingFailure(WindowModel& window, Handler&& handler) noexcept {
    try {
        handler();
        return true;
    } catch (...) {
        reportCurrentException(window);
        return false;
    }
}

// One step under the continue-on-failure policy; false when it failed and was skipped.
template <typename Step>
bool attempt(Step&& step) noexcept {
    try {
        step();
        return true;
    } catch (...) {
        return false;
    }
}

// A test under the continue-on-failure policy.
template <typename Test>
bool holds(Test&& test) noexcept {
    try {
        return test();
    } catch (...) {
        return true;
    }
}

}  // namespace moshitong
