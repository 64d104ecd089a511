#include "core/like.h"

#include <sqlite3.h>

#include <array>
#include <memory>
#include <new>

namespace moshitong {

namespace {

constexpr char32_t kAnyRun = U'%';
constexpr char32_t kAnyOne = U'_';

// The payload bits of a lead byte 0xC0..0xFF, as SQLite's decoder takes them.
constexpr std::array<std::uint8_t, 64> kLeadBits = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f,
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1d, 0x1e, 0x1f,
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f,
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x00, 0x01, 0x02, 0x03, 0x00, 0x01, 0x00, 0x00,
};

// LIKE ignores the case of ASCII letters only.
constexpr char32_t fold(char32_t c) noexcept {
    return c >= U'A' && c <= U'Z' ? c + 32 : c;
}

bool matchesAt(const std::u32string& piece, const std::u32string& value, std::size_t at) {
    for (std::size_t i = 0; i < piece.size(); ++i) {
        if (piece[i] != kAnyOne && piece[i] != value[at + i]) {
            return false;
        }
    }
    return true;
}

// The leftmost place at or after `from` where `piece` fits wholly before `limit`.
std::size_t findPiece(const std::u32string& piece, const std::u32string& value, std::size_t from,
                      std::size_t limit) {
    for (std::size_t at = from; at + piece.size() <= limit; ++at) {
        if (matchesAt(piece, value, at)) {
            return at;
        }
    }
    return std::u32string::npos;
}

void deletePattern(void* pattern) {
    delete static_cast<LikePattern*>(pattern);
}

std::string_view textOf(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    if (text == nullptr) {
        return {};
    }
    return {text, static_cast<std::size_t>(sqlite3_value_bytes(value))};
}

// like(pattern, value): Null when either is Null, as the built-in. The compiled pattern is kept
// with the statement, so a long pattern is decoded once, not once per row.
void likeFunction(sqlite3_context* context, int, sqlite3_value** argv) noexcept {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        return;
    }
    const std::string_view value = textOf(argv[1]);
    try {
        std::unique_ptr<LikePattern> fresh;
        const auto* pattern = static_cast<const LikePattern*>(sqlite3_get_auxdata(context, 0));
        if (pattern == nullptr) {
            fresh = std::make_unique<LikePattern>(textOf(argv[0]));
            pattern = fresh.get();
        }
        sqlite3_result_int(context, pattern->matches(value) ? 1 : 0);
        if (fresh) {
            sqlite3_set_auxdata(context, 0, fresh.release(), deletePattern);
        }
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(context);
    }
}

}  // namespace

char32_t readLikeCharacter(std::string_view text, std::size_t& at) {
    std::uint32_t c = static_cast<unsigned char>(text[at++]);
    if (c < 0xC0) {
        // ASCII, or a stray continuation byte, which SQLite takes as the character of that number.
        return c;
    }
    c = kLeadBits[c - 0xC0];
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) {
        c = (c << 6) + (0x3F & static_cast<unsigned char>(text[at++]));
    }
    if (c < 0x80 || (c & 0xFFFFF800) == 0xD800 || (c & 0xFFFFFFFE) == 0xFFFE) {
        c = 0xFFFD;
    }
    return c;
}

LikePattern::LikePattern(std::string_view pattern) {
    pieces_.emplace_back();
    for (std::size_t at = 0; at < pattern.size();) {
        const char32_t c = readLikeCharacter(pattern, at);
        if (c != kAnyRun) {
            pieces_.back() += fold(c);
            ++minimumLength_;
        } else if (pieces_.size() == 1 || !pieces_.back().empty()) {
            // A run of `%` is one `%`: only a non-empty piece closes.
            pieces_.emplace_back();
        }
    }
}

bool LikePattern::matches(std::string_view value) const {
    // Every character takes at least one byte: too short a value needs no decoding.
    if (value.size() < minimumLength_) {
        return false;
    }
    decoded_.clear();
    for (std::size_t at = 0; at < value.size();) {
        decoded_ += fold(readLikeCharacter(value, at));
    }
    if (decoded_.size() < minimumLength_) {
        return false;
    }
    const std::u32string& first = pieces_.front();
    if (pieces_.size() == 1) {
        return decoded_.size() == first.size() && matchesAt(first, decoded_, 0);
    }
    const std::u32string& last = pieces_.back();
    const std::size_t lastAt = decoded_.size() - last.size();
    if (!matchesAt(first, decoded_, 0) || !matchesAt(last, decoded_, lastAt)) {
        return false;
    }
    // Each middle piece at its leftmost place leaves the most room for the pieces after it.
    std::size_t at = first.size();
    for (std::size_t i = 1; i + 1 < pieces_.size(); ++i) {
        const std::size_t found = findPiece(pieces_[i], decoded_, at, lastAt);
        if (found == std::u32string::npos) {
            return false;
        }
        at = found + pieces_[i].size();
    }
    return at <= lastAt;
}

int installLike(sqlite3* db) {
    return sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                      likeFunction, nullptr, nullptr, nullptr);
}

}  // namespace moshitong
