#include "lookup/failure.h"

#include <new>
#include <string>

namespace moshitong {

namespace {

constexpr int kOutOfMemory = 7;
constexpr int kInternalError = 51;

}  // namespace

RunTimeError runTimeErrorOf(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const StoreError& error) {
        return {error.number(), error.description()};
    } catch (const std::bad_alloc&) {
        return {kOutOfMemory, "内存不足"};
    } catch (const std::exception& error) {
        return {kInternalError, std::string("内部错误：") + error.what()};
    } catch (...) {
        return {kInternalError, "内部错误"};
    }
}

void reportCurrentException(WindowModel& window) noexcept {
    try {
        window.reportError(runTimeErrorOf(std::current_exception()));
    } catch (...) {
        // Most likely memory ran out again while the report was made: the user cannot be told.
    }
}

}  // namespace moshitong
