#include "tools/lexi-build/utf8.h"

#include "core/text.h"

namespace moshitong::builder {

char32_t decodeUtf8(std::string_view text, std::size_t& pos) {
    // Overlong forms and surrogates are not characters; treating them as such would let two
    // spellings of one headword through.
    return moshitong::decodeUtf8(text, pos).value_or(kReplacementCharacter);
}

void appendUtf8(std::string& out, char32_t codePoint) {
    moshitong::appendUtf8(out, codePoint);
}

std::size_t countCodePoints(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        decodeUtf8(text, pos);
        ++count;
    }
    return count;
}

}  // namespace moshitong::builder
