#pragma once
// The lookup cycle as the window's click handlers run it: translate/clear (Command4), the concise
// lookup (Command3) and the professional lookup (Command2), with the result listing they share.
// None of them knows about Qt; the window passes itself in as a WindowModel.

#include <string>
#include <string_view>

#include "core/state.h"
#include "core/store.h"
#include "core/window_model.h"

namespace moshitong {

inline constexpr std::u16string_view kSeparator = u"--------------------------------";
inline constexpr std::u16string_view kApologyEnglish = u"对不起，没找到这个词儿！";
inline constexpr std::u16string_view kApologyChinese = u"对不起，没找到这个词！";

// 1 Chinese, 2 English, 0 a tie (no decision): a strict majority of characters that GBK
// encodes in two bytes against all others.
int DetectDirection(std::u16string_view text);

// The handlers' shared context: the lookup state, the window and the store handles.
struct Session {
    LookupState& state;
    WindowModel& window;
    Recordset& Rs;
    Connection& Conn;
};

// Appends the open recordset's entries (at most kRowCap) to Text1, written to the box once.
void ResultListing(Recordset& Rs, WindowModel& window);
void ShowApologyIfEmpty(WindowModel& window, std::u16string_view apology);

void Command4_Click(LookupState& state, WindowModel& window);  // "翻 译" / "清 除"
void Command3_Click(const Session& session);                   // "简明查询"
void Command2_Click(const Session& session);                   // "专业查询"

}  // namespace moshitong
