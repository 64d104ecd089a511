#pragma once
// The small store the window tests look words up in: a few rows in each table, enough for exact,
// fuzzy, Chinese and professional lookups and for a lookup that finds nothing.

#include <utility>
#include <vector>

#include "tests/support/temp_store.h"

namespace moshitong::testing {

inline std::vector<TempRow> tinyStoreRows() {
    std::vector<TempRow> rows = rowsOf(Table::Concise,
                                       u"apple\tn. 苹果；苹果树\napp\tn. 应用程序\n"
                                       u"stone\tn. 石头；石料\nink\tn. 墨水；油墨");
    rows.push_back({Table::English, u"apple", u"n. 苹果，苹果树；苹果公司"});
    for (TempRow& row : rowsOf(Table::Chinese, u"苹果\tapple\n墨水\tink")) {
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace moshitong::testing
