// The store's own LIKE against SQLite's built-in, on arbitrary bytes as value and pattern: they
// must agree wherever the built-in answers (no NUL, at which the built-in stops reading, and a
// pattern within its length limit), both called directly and through a connection's SQL.

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/like.h"

namespace moshitong {
namespace {

class Likes {
public:
    Likes() {
        sqlite3_open(":memory:", &plain_);
        sqlite3_open(":memory:", &ours_);
        installLike(ours_);
        sqlite3_prepare_v2(plain_, "SELECT ?1 LIKE ?2", -1, &builtIn_, nullptr);
        sqlite3_prepare_v2(ours_, "SELECT ?1 LIKE ?2", -1, &installed_, nullptr);
    }

    // -1 when the statement gives no answer.
    static int ask(sqlite3_stmt* statement, std::string_view value, std::string_view pattern) {
        sqlite3_reset(statement);
        sqlite3_bind_text(statement, 1, value.data(), static_cast<int>(value.size()),
                          SQLITE_STATIC);
        sqlite3_bind_text(statement, 2, pattern.data(), static_cast<int>(pattern.size()),
                          SQLITE_STATIC);
        return sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    }

    sqlite3* plain_ = nullptr;
    sqlite3* ours_ = nullptr;
    sqlite3_stmt* builtIn_ = nullptr;
    sqlite3_stmt* installed_ = nullptr;
};

}  // namespace
}  // namespace moshitong

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static moshitong::Likes likes;
    if (size == 0) {
        return 0;
    }
    // The first byte splits the rest into value and pattern; a NUL stands for '%', so that the
    // built-in reads the whole of both.
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    for (char& c : bytes) {
        c = c == '\0' ? '%' : c;
    }
    const std::size_t split = bytes.empty() ? 0 : data[0] % (bytes.size() + 1);
    const std::string_view value = std::string_view(bytes).substr(0, split);
    const std::string_view pattern = std::string_view(bytes).substr(split);

    const bool direct = moshitong::LikePattern(pattern).matches(value);
    const int builtIn = moshitong::Likes::ask(likes.builtIn_, value, pattern);
    const int installed = moshitong::Likes::ask(likes.installed_, value, pattern);
    if (builtIn == -1 || installed != builtIn || direct != (builtIn == 1)) {
        std::fprintf(stderr, "LIKE disagrees: built-in %d, installed %d, direct %d\n", builtIn,
                     installed, direct ? 1 : 0);
        std::abort();
    }
    return 0;
}
