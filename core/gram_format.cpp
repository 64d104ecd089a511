#include "core/gram_format.h"

#include <sqlite3.h>

#include <limits>

#include "core/schema.h"
#include "core/text.h"

namespace moshitong {

namespace {

constexpr unsigned kGramBits = 21;
constexpr PackedGram kGramMask = (PackedGram{1} << kGramBits) - 1;
constexpr std::uint32_t kMaxRowid = std::numeric_limits<std::uint32_t>::max();
// A rowid takes at most five bytes of seven bits.
constexpr int kMaxVarintShift = 28;

[[noreturn]] void throwDamaged() {
    throw StoreError(SQLITE_CORRUPT, "a posting list of the substring index is damaged");
}

std::uint32_t readVarint(std::string_view bytes, std::size_t& at) {
    std::uint64_t value = 0;
    for (int shift = 0; shift <= kMaxVarintShift && at < bytes.size(); shift += 7) {
        const auto byte = static_cast<unsigned char>(bytes[at++]);
        value |= std::uint64_t{byte & 0x7Fu} << shift;
        if ((byte & 0x80) == 0) {
            if (value > kMaxRowid) {
                throwDamaged();
            }
            return static_cast<std::uint32_t>(value);
        }
    }
    throwDamaged();  // cut short, or longer than any rowid needs
}

}  // namespace

std::string createGramTableSql(std::string_view name) {
    return "CREATE TABLE " + std::string(name) +
           " (g BLOB NOT NULL, chunk INTEGER NOT NULL, n INTEGER NOT NULL, rows BLOB NOT NULL, "
           "PRIMARY KEY (g, chunk)) WITHOUT ROWID";
}

std::optional<std::u32string> foldForGrams(std::u16string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto cp = decodeUtf16(text, at);
        if (!cp || *cp == 0) {
            return std::nullopt;
        }
        out += *cp >= U'A' && *cp <= U'Z' ? *cp + (U'a' - U'A') : *cp;
    }
    return out;
}

std::string gramKey(std::u32string_view gram) {
    std::string key;
    for (const char32_t cp : gram) {
        appendUtf8(key, cp);
    }
    return key;
}

PackedGram packGram(std::u32string_view gram) {
    PackedGram packed = 0;
    for (const char32_t cp : gram) {
        packed = (packed << kGramBits) | (static_cast<PackedGram>(cp) + 1);
    }
    return packed;
}

std::u32string unpackGram(PackedGram packed) {
    std::u32string gram;
    for (; packed != 0; packed >>= kGramBits) {
        gram.insert(gram.begin(), static_cast<char32_t>((packed & kGramMask) - 1));
    }
    return gram;
}

std::string encodeChunk(std::span<const std::uint32_t> rowids) {
    std::string bytes;
    std::uint32_t previous = 0;
    for (const std::uint32_t rowid : rowids) {
        for (std::uint32_t delta = rowid - previous;; delta >>= 7) {
            if (delta < 0x80) {
                bytes += static_cast<char>(delta);
                break;
            }
            bytes += static_cast<char>((delta & 0x7F) | 0x80);
        }
        previous = rowid;
    }
    return bytes;
}

void decodeChunk(std::string_view bytes, std::vector<std::uint32_t>& rowids) {
    rowids.clear();
    std::uint32_t previous = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::uint32_t delta = readVarint(bytes, at);
        if ((delta == 0 && !rowids.empty()) || delta > kMaxRowid - previous) {
            throwDamaged();
        }
        previous += delta;
        rowids.push_back(previous);
    }
    if (rowids.empty()) {
        throwDamaged();
    }
}

}  // namespace moshitong
