#include "core/text.h"

#include <algorithm>

namespace moshitong {

namespace {

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

template <typename Pred>
std::u16string trimIf(std::u16string_view text, Pred isSpace) {
    const auto first = std::find_if_not(text.begin(), text.end(), isSpace);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isSpace).base();
    return first < last ? std::u16string(first, last) : std::u16string{};
}

}  // namespace

// Both copy the runs between the units they drop whole, not unit by unit: a pasted megabyte is
// tidied at the speed of a copy.
std::u16string removeAll(std::u16string_view text, char16_t unit) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t found = std::min(text.find(unit, from), text.size());
        out.append(text.substr(from, found - from));
        from = found + 1;
    }
    return out;
}

std::u16string replaceCrLfPairs(std::u16string_view text, std::u16string_view replacement) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t found = text.find(kCrLf); found != std::u16string_view::npos;
         found = text.find(kCrLf, from)) {
        out.append(text.substr(from, found - from));
        out.append(replacement);
        from = found + kCrLf.size();
    }
    out.append(text.substr(from));
    return out;
}

std::u16string trimSpaces(std::u16string_view text) {
    return trimIf(text, [](char16_t c) { return c == u' '; });
}

std::u16string trimQuerySpaces(std::u16string_view text) {
    return trimIf(text, [](char16_t c) { return c == u' ' || c == u'\u3000'; });
}

std::optional<char32_t> decodeUtf16(std::u16string_view text, std::size_t& at) noexcept {
    const char16_t unit = text[at++];
    if (isHighSurrogate(unit) && at < text.size() && isLowSurrogate(text[at])) {
        return 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[at++] - 0xDC00);
    }
    if (isSurrogate(unit)) {
        return std::nullopt;
    }
    return unit;
}

void appendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

std::string toUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t at = 0; at < text.size();) {
        appendUtf8(out, decodeUtf16(text, at).value_or(kReplacementCharacter));
    }
    return out;
}

std::string toUtf8(std::u32string_view text) {
    std::string out;
    for (const char32_t cp : text) {
        appendUtf8(out, cp);
    }
    return out;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || isSurrogate(cp)) {
        cp = kReplacementCharacter;
    }
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& at) noexcept {
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byteAt(at);
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        length = 1, cp = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    }
    bool valid = length > 0 && at + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
        const unsigned char next = byteAt(at + k);
        valid = (next & 0xC0) == 0x80;
        cp = (cp << 6) | (next & 0x3F);
    }
    valid = valid && cp >= minimum && cp <= 0x10FFFF && !isSurrogate(cp);
    if (!valid) {
        ++at;
        return std::nullopt;
    }
    at += length;
    return cp;
}

std::u16string fromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        // One replacement per bad byte keeps the rest of the line readable.
        appendUtf16(out, decodeUtf8(text, at).value_or(kReplacementCharacter));
    }
    return out;
}

std::size_t countCodePoints(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) {
        decodeUtf8(text, at);
    }
    return count;
}

}  // namespace moshitong
