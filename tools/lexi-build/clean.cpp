#include "tools/lexi-build/clean.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <utility>

#include "core/text.h"
#include "tools/lexi-build/private_use.h"

namespace moshitong::builder {

namespace {

// The entities that occur in dictionary text: markup, typography, Latin accents and Greek
// letters (used for scientific terms such as "β-carotene").
constexpr auto kEntities = std::to_array<std::pair<std::string_view, char32_t>>({
    {"amp", U'&'},          {"lt", U'<'},           {"gt", U'>'},           {"quot", U'"'},
    {"apos", U'\''},        {"nbsp", U' '},         {"hellip", U'\u2026'},  {"mdash", U'\u2014'},
    {"ndash", U'\u2013'},   {"lsquo", U'\u2018'},   {"rsquo", U'\u2019'},   {"ldquo", U'\u201C'},
    {"rdquo", U'\u201D'},   {"middot", U'\u00B7'},  {"times", U'\u00D7'},   {"divide", U'\u00F7'},
    {"deg", U'\u00B0'},     {"plusmn", U'\u00B1'},  {"micro", U'\u00B5'},   {"copy", U'\u00A9'},
    {"reg", U'\u00AE'},     {"trade", U'\u2122'},   {"eacute", U'\u00E9'},  {"egrave", U'\u00E8'},
    {"aacute", U'\u00E1'},  {"agrave", U'\u00E0'},  {"ccedil", U'\u00E7'},  {"uuml", U'\u00FC'},
    {"ouml", U'\u00F6'},    {"auml", U'\u00E4'},    {"alpha", U'\u03B1'},   {"beta", U'\u03B2'},
    {"gamma", U'\u03B3'},   {"delta", U'\u03B4'},   {"epsilon", U'\u03B5'}, {"zeta", U'\u03B6'},
    {"eta", U'\u03B7'},     {"theta", U'\u03B8'},   {"iota", U'\u03B9'},    {"kappa", U'\u03BA'},
    {"lambda", U'\u03BB'},  {"mu", U'\u03BC'},      {"nu", U'\u03BD'},      {"xi", U'\u03BE'},
    {"omicron", U'\u03BF'}, {"pi", U'\u03C0'},      {"rho", U'\u03C1'},     {"sigma", U'\u03C3'},
    {"tau", U'\u03C4'},     {"upsilon", U'\u03C5'}, {"phi", U'\u03C6'},     {"chi", U'\u03C7'},
    {"psi", U'\u03C8'},     {"omega", U'\u03C9'},   {"Alpha", U'\u0391'},   {"Beta", U'\u0392'},
    {"Gamma", U'\u0393'},   {"Delta", U'\u0394'},   {"Theta", U'\u0398'},   {"Lambda", U'\u039B'},
    {"Sigma", U'\u03A3'},   {"Omega", U'\u03A9'},
});

constexpr std::size_t kLongestEntity = 8;

std::optional<char32_t> numericEntity(std::string_view body) {
    int base = 10;
    if (!body.empty() && (body.front() == 'x' || body.front() == 'X')) {
        base = 16;
        body.remove_prefix(1);
    }
    unsigned long value = 0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value, base);
    if (body.empty() || error != std::errc{} || end != body.data() + body.size() || value == 0 ||
        value > 0x10FFFF || isSurrogate(static_cast<char32_t>(value))) {
        return std::nullopt;
    }
    return static_cast<char32_t>(value);
}

std::optional<char32_t> entityValue(std::string_view body) {
    if (!body.empty() && body.front() == '#') {
        return numericEntity(body.substr(1));
    }
    const auto* found = std::find_if(kEntities.begin(), kEntities.end(),
                                     [&](const auto& entry) { return entry.first == body; });
    if (found == kEntities.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool startsWithBreakTag(std::string_view text) {
    if (text.size() < 4 || text[0] != '<' || (text[1] != 'b' && text[1] != 'B') ||
        (text[2] != 'r' && text[2] != 'R')) {
        return false;
    }
    return text.substr(3, 1) == ">" || text.substr(3, 2) == "/>" || text.substr(3, 3) == " />";
}

std::size_t breakTagLength(std::string_view text) {
    return text[3] == '>' ? 4 : (text[3] == '/' ? 5 : 6);
}

std::string replaceBreakTags(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        if (text[pos] == '<' && startsWithBreakTag(text.substr(pos))) {
            out += '\n';
            pos += breakTagLength(text.substr(pos));
        } else {
            out += text[pos++];
        }
    }
    return out;
}

// Spaces of every width that a line may start or end with: ASCII space and tab, the no-break
// space and the ideographic space.
std::string_view trimLine(std::string_view line) {
    const auto atFront = [](std::string_view s) -> std::size_t {
        if (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
            return 1;
        if (s.starts_with("\u00A0"))
            return 2;
        if (s.starts_with("\u3000"))
            return 3;
        return 0;
    };
    const auto atBack = [](std::string_view s) -> std::size_t {
        if (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
            return 1;
        if (s.ends_with("\u00A0"))
            return 2;
        if (s.ends_with("\u3000"))
            return 3;
        return 0;
    };
    for (std::size_t n = atFront(line); n != 0; n = atFront(line)) {
        line.remove_prefix(n);
    }
    for (std::size_t n = atBack(line); n != 0; n = atBack(line)) {
        line.remove_suffix(n);
    }
    return line;
}

// Tabs and runs of spaces inside a line are leftovers of column layouts; one space reads better.
std::string collapseSpaces(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (const char c : line) {
        const bool space = c == ' ' || c == '\t';
        if (!space) {
            out += c;
        } else if (out.empty() || out.back() != ' ') {
            out += ' ';
        }
    }
    return out;
}

// The labels an item of an English definition starts with: parts of speech in both the
// dictionary style ("n.", "vt.") and WordNet's ("n ", "s "), examples ("> "), numbered senses.
bool startsItem(std::string_view line) {
    constexpr std::array<std::string_view, 24> kLabels = {
        "n",   "v",   "a",      "s",   "r",    "vt",  "vi", "adj", "adv", "prep", "conj", "pron",
        "art", "int", "interj", "num", "abbr", "aux", "p",  "imp", "pl",  "pref", "suf",  ">"};
    if (!line.empty() && line.front() >= '0' && line.front() <= '9') {
        return true;
    }
    const std::size_t space = line.find(' ');
    std::string_view head = line.substr(0, space);
    if (head.ends_with('.')) {
        head.remove_suffix(1);
    }
    return std::find(kLabels.begin(), kLabels.end(), head) != kLabels.end();
}

// A line that stops mid-sentence (on a letter, a comma, a semicolon or a hyphen) was wrapped.
bool continuesSentence(std::string_view line) {
    const char last = line.back();
    return (last >= 'a' && last <= 'z') || (last >= 'A' && last <= 'Z') || last == ',' ||
           last == ';' || last == '-';
}

char32_t ipaFor(char32_t c) {
    switch (c) {
        case U'\u04D9':  // Cyrillic schwa
        case U'\u0275':  // barred o, one dictionary's schwa
            return U'\u0259';
        case U'\u0454':  // Cyrillic ukrainian ie
        case U'\u03B5':  // Greek epsilon
            return U'\u025B';
        case U'\'':
        case U'\u02CA':
        case U'\u00B4':
        case U'\u02B9':
        case U'\u2019':
            return U'\u02C8';
        case U':':
            return U'\u02D0';
        case U'g':
        case U'^':
            return U'\u0261';
        case U'\uE143':  // a private-use code one font used for ɪ
            return U'\u026A';
        case U'\u00A0':
        case U'\t':
            return U' ';
        default:
            return c;
    }
}

}  // namespace

std::string unescapeBackslashes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c != '\\' || pos + 1 == text.size()) {
            out += c;
            continue;
        }
        switch (text[pos + 1]) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                out += c;
                continue;
        }
        ++pos;
    }
    return out;
}

std::string decodeEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        if (text[pos] == '&') {
            const std::size_t semicolon = text.find(';', pos + 1);
            const bool plausible =
                semicolon != std::string_view::npos && semicolon - pos - 1 <= kLongestEntity;
            const auto value =
                plausible ? entityValue(text.substr(pos + 1, semicolon - pos - 1)) : std::nullopt;
            if (value) {
                appendUtf8(out, *value);
                pos = semicolon + 1;
                continue;
            }
        }
        out += text[pos++];
    }
    return out;
}

std::vector<std::string> cleanLines(std::string_view raw) {
    // Most fields need none of the rewrites; skipping them saves a copy per step per field.
    std::string text(raw);
    if (text.find('\\') != std::string::npos) {
        text = unescapeBackslashes(text);
    }
    if (text.find('<') != std::string::npos) {
        text = replaceBreakTags(text);
    }
    if (text.find('&') != std::string::npos) {
        text = decodeEntities(text);
    }
    // The lead byte of U+E000..U+EFFF, where GBK's converters put the characters it mapped.
    if (text.find('\xEE') != std::string::npos) {
        text = standardisePrivateUse(text);
    }
    std::vector<std::string> lines;
    for (const std::string_view piece : split(text, "\r\n")) {
        if (std::string line = collapseSpaces(trimLine(piece)); !line.empty()) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

std::vector<std::string> joinWrappedLines(std::vector<std::string> lines) {
    std::vector<std::string> out;
    for (std::string& line : lines) {
        if (!out.empty() && continuesSentence(out.back()) && !startsItem(line)) {
            out.back() += ' ';
            out.back() += line;
        } else {
            out.push_back(std::move(line));
        }
    }
    return out;
}

std::vector<std::string_view> split(std::string_view text, std::string_view delimiters) {
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(text.find_first_of(delimiters, start), text.size());
        pieces.push_back(text.substr(start, end - start));
        if (end == text.size()) {
            return pieces;
        }
        start = end + 1;
    }
}

std::string join(const std::vector<std::string>& items, std::string_view separator) {
    std::string out;
    for (const std::string& item : items) {
        if (!out.empty()) {
            out += separator;
        }
        out += item;
    }
    return out;
}

std::string cleanText(std::string_view raw) {
    return join(cleanLines(raw), kLineBreak);
}

std::string normalisePhonetic(std::string_view raw) {
    const std::string text = unescapeBackslashes(raw);
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t c = decodeUtf8(text, pos).value_or(kReplacementCharacter);
        if (c == U'[' || c == U']' || c == U'/' || c == U'\r' || c == U'\n') {
            continue;
        }
        if (c == U'\\') {
            while (pos < text.size() && text[pos] == '\\') {
                ++pos;
            }
            appendUtf8(out, U'\u025C');
            continue;
        }
        // A comma before a syllable marks secondary stress; one followed by a space separates
        // two transcriptions and stays. A full stop starting a word marks it too; elsewhere it
        // is IPA's syllable break.
        if (c == U',') {
            const bool separator = pos == text.size() || text[pos] == ' ';
            appendUtf8(out, separator ? U',' : U'\u02CC');
            continue;
        }
        if (c == U'.' && (out.empty() || out.back() == ' ')) {
            appendUtf8(out, U'\u02CC');
            continue;
        }
        const char32_t mapped = ipaFor(c);
        if (mapped == U' ' && (out.empty() || out.back() == ' ')) {
            continue;
        }
        appendUtf8(out, mapped);
    }
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out;
}

}  // namespace moshitong::builder
