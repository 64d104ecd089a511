#include "core/like.h"

#include <sqlite3.h>

#include <array>
#include <cstring>
#include <memory>
#include <new>

#include "core/text.h"

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

constexpr char foldByte(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// Characters compare as decoded (and folded) code points, `_` matching any; bytes compare as
// UTF-8 with ASCII letters folded, for patterns without `_`.
constexpr bool sameCharacter(char32_t piece, char32_t value) noexcept {
    return piece == kAnyOne || piece == value;
}
constexpr bool sameByte(char piece, char value) noexcept {
    return piece == foldByte(value);
}

template <typename Char, typename Same>
bool pieceAt(std::basic_string_view<Char> piece, std::basic_string_view<Char> value, std::size_t at,
             Same same) {
    for (std::size_t i = 0; i < piece.size(); ++i) {
        if (!same(piece[i], value[at + i])) {
            return false;
        }
    }
    return true;
}

// The leftmost place at or after `from` where `piece` fits wholly before `limit`.
template <typename Char, typename Same>
std::size_t findPiece(std::basic_string_view<Char> piece, std::basic_string_view<Char> value,
                      std::size_t from, std::size_t limit, Same same) {
    for (std::size_t at = from; at + piece.size() <= limit; ++at) {
        if (same(piece.front(), value[at]) && pieceAt(piece, value, at, same)) {
            return at;
        }
    }
    return std::basic_string_view<Char>::npos;
}

// The same for bytes, where a piece starts with a byte memchr can look for (or with a letter in
// either case): the common case of a scan over long explanations.
template <>
std::size_t findPiece(std::string_view piece, std::string_view value, std::size_t from,
                      std::size_t limit, bool (*same)(char, char) noexcept) {
    const char lower = piece.front();
    const bool letter = lower >= 'a' && lower <= 'z';
    for (std::size_t at = from; at + piece.size() <= limit;) {
        const std::size_t span = limit - piece.size() + 1 - at;
        const auto* start = value.data() + at;
        const auto* found = static_cast<const char*>(std::memchr(start, lower, span));
        if (letter) {
            const std::size_t before =
                found != nullptr ? static_cast<std::size_t>(found - start) : span;
            if (const auto* upper =
                    static_cast<const char*>(std::memchr(start, lower - 32, before))) {
                found = upper;
            }
        }
        if (found == nullptr) {
            break;
        }
        at = static_cast<std::size_t>(found - value.data());
        if (pieceAt(piece, value, at, same)) {
            return at;
        }
        ++at;
    }
    return std::string_view::npos;
}

// The pieces in order: the first anchored at the start, the last at the end, and each middle
// piece at its leftmost place, which leaves the most room for the pieces after it.
template <typename Char, typename Same>
bool matchPieces(const std::vector<std::basic_string<Char>>& pieces,
                 std::basic_string_view<Char> value, Same same) {
    using View = std::basic_string_view<Char>;
    const View first = pieces.front();
    if (pieces.size() == 1) {
        return value.size() == first.size() && pieceAt(first, value, 0, same);
    }
    const View last = pieces.back();
    if (first.size() + last.size() > value.size()) {
        return false;
    }
    const std::size_t lastAt = value.size() - last.size();
    if (!pieceAt(first, value, 0, same) || !pieceAt(last, value, lastAt, same)) {
        return false;
    }
    std::size_t at = first.size();
    for (std::size_t i = 1; i + 1 < pieces.size(); ++i) {
        const View piece = pieces[i];
        if (piece.empty()) {
            continue;
        }
        const std::size_t found = findPiece(piece, value, at, lastAt, same);
        if (found == View::npos) {
            return false;
        }
        at = found + piece.size();
    }
    return at <= lastAt;
}

// True when every character of `text` is the shortest UTF-8 form of a scalar value other than
// U+FFFE and U+FFFF: then SQLite decodes it to exactly that character, and comparing bytes is
// comparing characters.
bool isPlainUtf8(std::string_view text) noexcept {
    for (std::size_t at = 0; at < text.size();) {
        const auto c = decodeUtf8(text, at);
        if (!c || *c == 0xFFFE || *c == 0xFFFF) {
            return false;
        }
    }
    return true;
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
    if (c < 0x80 || isSurrogate(c) || (c & 0xFFFFFFFE) == 0xFFFE) {
        c = kReplacementCharacter;
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
    // Without `_`, and with characters UTF-8 can spell, the pattern can be matched on the bytes
    // of a plain UTF-8 value, which spares decoding every row.
    bytesUsable_ = true;
    for (const std::u32string& piece : pieces_) {
        std::string& bytes = bytePieces_.emplace_back();
        for (const char32_t c : piece) {
            bytesUsable_ = bytesUsable_ && c != kAnyOne && c <= 0x10FFFF;
            asciiOnly_ = asciiOnly_ && c < 0x80;
            appendUtf8(bytes, c);
        }
    }
}

bool LikePattern::matches(std::string_view value) const {
    // Every character takes at least one byte: too short a value needs no decoding.
    if (value.size() < minimumLength_) {
        return false;
    }
    // An ASCII byte is always a character of its own to SQLite, and no longer sequence decodes to
    // one, so ASCII pieces can be sought in any bytes; others only in plain UTF-8.
    if (bytesUsable_ && (asciiOnly_ || isPlainUtf8(value))) {
        return matchPieces(bytePieces_, value, sameByte);
    }
    decoded_.clear();
    for (std::size_t at = 0; at < value.size();) {
        decoded_ += fold(readLikeCharacter(value, at));
    }
    return matchPieces(pieces_, std::u32string_view(decoded_), sameCharacter);
}

int installLike(sqlite3* db) {
    return sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                      likeFunction, nullptr, nullptr, nullptr);
}

}  // namespace moshitong
