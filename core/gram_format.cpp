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

constexpr std::size_t kChecksumBytes = 4;

// FNV-1a over the chunk's place and its varints: cheap next to the reading of the chunk, and any
// one byte changed changes it.
std::uint32_t chunkChecksum(const ChunkPlace& place, std::string_view varints) {
    std::uint32_t hash = 2166136261u;
    const auto add = [&hash](unsigned char byte) { hash = (hash ^ byte) * 16777619u; };
    for (const char c : place.key) {
        add(static_cast<unsigned char>(c));
    }
    for (const std::int64_t number : {place.chunk, place.listLength}) {
        for (int shift = 0; shift < 64; shift += 8) {
            add(static_cast<unsigned char>(static_cast<std::uint64_t>(number) >> shift));
        }
    }
    for (const char c : varints) {
        add(static_cast<unsigned char>(c));
    }
    return hash;
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
    return toUtf8(gram);
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

std::string encodeChunk(const ChunkPlace& place, std::span<const std::uint32_t> rowids) {
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
    const std::uint32_t sum = chunkChecksum(place, bytes);
    for (std::size_t i = 0; i < kChecksumBytes; ++i) {
        bytes += static_cast<char>(sum >> (8 * i));
    }
    return bytes;
}

void decodeChunk(std::string_view bytes, const ChunkPlace& place,
                 std::vector<std::uint32_t>& rowids) {
    rowids.clear();
    if (bytes.size() < kChecksumBytes) {
        throwDamaged();
    }
    const std::string_view varints = bytes.substr(0, bytes.size() - kChecksumBytes);
    std::uint32_t stored = 0;
    for (std::size_t i = 0; i < kChecksumBytes; ++i) {
        stored |= std::uint32_t{static_cast<unsigned char>(bytes[varints.size() + i])} << (8 * i);
    }
    if (stored != chunkChecksum(place, varints)) {
        throwDamaged();
    }
    std::uint32_t previous = 0;
    for (std::size_t at = 0; at < varints.size();) {
        const std::uint32_t delta = readVarint(varints, at);
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
