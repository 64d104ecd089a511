#pragma once
// The shared lookup state through which the window's handlers cooperate. Every flag is tested
// for equality with 0, 1 or 2; starting them at 0 is the same as "never set".

#include <string>

namespace moshitong {

struct LookupState {
    int ResultShown = 0;  // 1 while a result is on show: the input box refuses typed keys
    int Direction = 0;    // 1 Chinese input, 2 English input, 0 undecided (reset by every lookup)
    int ClearMode = 0;    // 0: Command4 is "翻 译"; 1: it is "清 除"
    std::u16string SavedQuery;  // the query as tidied by the last translate press
};

}  // namespace moshitong
