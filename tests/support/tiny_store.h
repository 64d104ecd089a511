#pragma once
// The small store the window tests look words up in: a few rows in each table, enough for exact,
// fuzzy, Chinese and professional lookups and for a lookup that finds nothing.

#include <vector>

#include "tests/support/temp_store.h"

namespace moshitong::testing {

inline std::vector<TempRow> tinyStoreRows() {
    return {
        {Table::Concise, u"apple", u"n. 苹果；苹果树"},
        {Table::Concise, u"app", u"n. 应用程序"},
        {Table::Concise, u"stone", u"n. 石头；石料"},
        {Table::Concise, u"ink", u"n. 墨水；油墨"},
        {Table::English, u"apple", u"n. 苹果，苹果树；苹果公司"},
        {Table::Chinese, u"苹果", u"apple"},
        {Table::Chinese, u"墨水", u"ink"},
    };
}

}  // namespace moshitong::testing
