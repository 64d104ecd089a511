#include "tools/lexi-build/pinyin.h"

#include <array>
#include <vector>

#include "tools/lexi-build/clean.h"

namespace moshitong::builder {

namespace {

// A letter of a syllable: ASCII, or ü written as "u:" (capital Ü as "U:").
struct Letter {
    char ascii;
    bool umlaut;
};

constexpr char kUmlaut = 'v';  // stands for ü below; CC-CEDICT never spells ü with a v

std::optional<std::vector<Letter>> splitLetters(std::string_view body) {
    std::vector<Letter> letters;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        const bool isLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!isLetter) {
            return std::nullopt;
        }
        if ((c == 'u' || c == 'U') && i + 1 < body.size() && body[i + 1] == ':') {
            letters.push_back({c, true});
            ++i;
        } else {
            letters.push_back({c, false});
        }
    }
    return letters;
}

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char key(const Letter& letter) {
    return letter.umlaut ? kUmlaut : lower(letter.ascii);
}

bool isVowel(char k) {
    return k == 'a' || k == 'e' || k == 'i' || k == 'o' || k == 'u' || k == kUmlaut;
}

// Where the tone mark goes, by the standard rule; nullopt when the syllable has no vowel.
std::optional<std::size_t> markPosition(const std::vector<Letter>& letters) {
    for (const char preferred : {'a', 'e'}) {
        for (std::size_t i = 0; i < letters.size(); ++i) {
            if (key(letters[i]) == preferred) {
                return i;
            }
        }
    }
    for (std::size_t i = 0; i + 1 < letters.size(); ++i) {
        if (key(letters[i]) == 'o' && key(letters[i + 1]) == 'u') {
            return i;
        }
    }
    for (std::size_t i = letters.size(); i-- > 0;) {
        if (isVowel(key(letters[i]))) {
            return i;
        }
    }
    return std::nullopt;
}

// Tone-marked forms, tones 1 to 4, lower case then upper case.
struct Marked {
    char key;
    std::array<std::string_view, 4> lowerCase;
    std::array<std::string_view, 4> upperCase;
};

constexpr std::array<Marked, 6> kMarkedVowels = {{
    {'a', {"ā", "á", "ǎ", "à"}, {"Ā", "Á", "Ǎ", "À"}},
    {'e', {"ē", "é", "ě", "è"}, {"Ē", "É", "Ě", "È"}},
    {'i', {"ī", "í", "ǐ", "ì"}, {"Ī", "Í", "Ǐ", "Ì"}},
    {'o', {"ō", "ó", "ǒ", "ò"}, {"Ō", "Ó", "Ǒ", "Ò"}},
    {'u', {"ū", "ú", "ǔ", "ù"}, {"Ū", "Ú", "Ǔ", "Ù"}},
    {kUmlaut, {"ǖ", "ǘ", "ǚ", "ǜ"}, {"Ǖ", "Ǘ", "Ǚ", "Ǜ"}},
}};

// Marks for the syllabic m and n: precomposed where Unicode has a letter, else a combining mark.
constexpr std::array<std::string_view, 4> kCombiningMarks = {"\u0304", "\u0301", "\u030C",
                                                             "\u0300"};

std::string plain(const Letter& letter) {
    if (!letter.umlaut) {
        return std::string(1, letter.ascii);
    }
    return letter.ascii == 'U' ? "Ü" : "ü";
}

std::string marked(const Letter& letter, int tone) {
    const auto index = static_cast<std::size_t>(tone - 1);
    const bool upper = letter.ascii >= 'A' && letter.ascii <= 'Z';
    for (const Marked& vowel : kMarkedVowels) {
        if (vowel.key == key(letter)) {
            return std::string(upper ? vowel.upperCase[index] : vowel.lowerCase[index]);
        }
    }
    if (key(letter) == 'm' && tone == 2) {
        return upper ? "Ḿ" : "ḿ";
    }
    if (key(letter) == 'n' && !upper && tone >= 2) {
        constexpr std::array<std::string_view, 3> kN = {"ń", "ň", "ǹ"};
        return std::string(kN[index - 1]);
    }
    return plain(letter) + std::string(kCombiningMarks[index]);
}

// The syllables that have no vowel: the interjections m, n, ng, hm and hng carry a tone on their
// m or n; the erhua r and CC-CEDICT's xx (reading unknown) only ever have the neutral tone.
enum class Vowelless { None, Nasal, NeutralOnly };

Vowelless vowellessKind(const std::vector<Letter>& letters) {
    std::string body;
    for (const Letter& letter : letters) {
        body += key(letter);
    }
    if (body == "m" || body == "n" || body == "ng" || body == "hm" || body == "hng") {
        return Vowelless::Nasal;
    }
    return body == "r" || body == "xx" ? Vowelless::NeutralOnly : Vowelless::None;
}

std::optional<std::size_t> nasalPosition(const std::vector<Letter>& letters) {
    for (std::size_t i = 0; i < letters.size(); ++i) {
        if (key(letters[i]) == 'm' || key(letters[i]) == 'n') {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> markSyllable(std::string_view numbered) {
    if (numbered.size() < 2 || numbered.back() < '1' || numbered.back() > '5') {
        return std::nullopt;
    }
    const int tone = numbered.back() - '0';
    const auto letters = splitLetters(numbered.substr(0, numbered.size() - 1));
    if (!letters) {
        return std::nullopt;
    }
    std::optional<std::size_t> position = markPosition(*letters);
    if (!position) {
        const Vowelless kind = vowellessKind(*letters);
        if (kind == Vowelless::None || (kind == Vowelless::NeutralOnly && tone != 5)) {
            return std::nullopt;
        }
        position = nasalPosition(*letters);
    }
    if (tone == 5) {
        position.reset();
    }
    std::string out;
    for (std::size_t i = 0; i < letters->size(); ++i) {
        out += position == i ? marked((*letters)[i], tone) : plain((*letters)[i]);
    }
    return out;
}

namespace {

// True for bracket text that is a reading: syllables with tone numbers, possibly with single
// letters or punctuation between them ("A A zhi4", "yi1 · er4"), and no other words, so that a
// bracket such as "[mp3]" or "[see below]" is left alone.
bool isReading(std::string_view text) {
    bool sawSyllable = false;
    for (const std::string_view token : split(text, " ")) {
        if (markSyllable(token)) {
            sawSyllable = true;
        } else if (token.size() != 1 && token != "·") {
            return false;
        }
    }
    return sawSyllable;
}

}  // namespace

std::string toneMarks(std::string_view reading) {
    std::string out;
    const std::vector<std::string_view> tokens = split(reading, " ");
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const auto syllable = markSyllable(tokens[i]);
        out += i > 0 ? " " : "";
        out += syllable ? *syllable : std::string(tokens[i]);
    }
    return out;
}

std::string markCrossReferences(std::string_view sense) {
    std::string out;
    std::size_t pos = 0;
    while (pos < sense.size()) {
        const std::size_t open = sense.find('[', pos);
        const std::size_t close = open == std::string_view::npos ? open : sense.find(']', open + 1);
        if (close == std::string_view::npos) {
            break;
        }
        const std::string_view inside = sense.substr(open + 1, close - open - 1);
        out.append(sense.substr(pos, open + 1 - pos));
        out += isReading(inside) ? toneMarks(inside) : std::string(inside);
        out += ']';
        pos = close + 1;
    }
    out.append(sense.substr(pos));
    return out;
}

}  // namespace moshitong::builder
