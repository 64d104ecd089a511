#pragma once
// The store's own LIKE. SQLite's built-in LIKE refuses a pattern longer than 50,000 bytes and stops
// reading text at its first NUL, yet a query pasted into the box may be a megabyte long or hold a
// NUL. Every connection to the store therefore answers LIKE with this matcher, which gives what
// the built-in gives wherever the built-in answers at all (same character decoding, `%` and `_`
// wildcards, no escape character, ASCII letters compared without case) and has neither limit.
//
// Its cost is bounded: runs of `%` collapse when the pattern is compiled, a value shorter than
// the pattern's fixed characters is rejected before it is decoded, and the rest is one left-to-
// right scan per literal piece, on the value's bytes where that gives the same answer.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace moshitong {

class LikePattern {
public:
    // `pattern` is UTF-8 as SQLite hands it over; malformed bytes decode as SQLite decodes them.
    explicit LikePattern(std::string_view pattern);

    bool matches(std::string_view value) const;

    // The fewest characters a matching value can have.
    std::size_t minimumLength() const noexcept { return minimumLength_; }

private:
    // The pattern split at its `%` runs: pieces_.front() is anchored at the start and
    // pieces_.back() at the end; with no `%` at all there is one piece, anchored at both ends.
    std::vector<std::u32string> pieces_;
    // The same pieces in UTF-8, and whether they may be matched that way.
    std::vector<std::string> bytePieces_;
    bool bytesUsable_ = false;
    bool asciiOnly_ = true;
    std::size_t minimumLength_ = 0;
    // Scratch space for the decoded value, reused from row to row of one statement.
    mutable std::u32string decoded_;
};

// Decodes one character the way SQLite does, advancing `at`; for tests and for the matcher.
char32_t readLikeCharacter(std::string_view text, std::size_t& at);

// Installs the matcher as like(pattern, value) on `db`, so `x LIKE y` uses it. Returns an SQLite
// result code.
int installLike(sqlite3* db);

}  // namespace moshitong
