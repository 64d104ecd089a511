#include "tools/lexi-build/compose.h"

#include <algorithm>
#include <array>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "core/text.h"
#include "tools/lexi-build/clean.h"
#include "tools/lexi-build/pinyin.h"

namespace moshitong::builder {

namespace {

constexpr long kCommonRank = 30000;
constexpr std::string_view kItemSeparator = "；";

// The kinds of form, in the order an explanation names them.
constexpr std::array<char, 7> kFormKinds = {'s', 'p', 'd', 'i', '3', 'r', 't'};

constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kExamNames = {{
    {"zk", "中考"},
    {"gk", "高考"},
    {"cet4", "四级"},
    {"cet6", "六级"},
    {"ky", "考研"},
    {"toefl", "托福"},
    {"ielts", "雅思"},
    {"gre", "GRE"},
}};

std::string asciiLower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return out;
}

bool hasTag(const EcdictEntry& entry, std::string_view tag) {
    const std::vector<std::string_view> tags = split(entry.tag, " ");
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

std::string rankingLine(const EcdictEntry& entry) {
    std::vector<std::string> items;
    if (entry.collins > 0) {
        std::string stars = "柯林斯 ";
        for (int i = 0; i < entry.collins; ++i) {
            stars += "★";
        }
        items.push_back(stars);
    }
    if (entry.oxford) {
        items.emplace_back("牛津 3000 核心词");
    }
    std::vector<std::string> exams;
    for (const auto& [tag, name] : kExamNames) {
        if (hasTag(entry, tag)) {
            exams.emplace_back(name);
        }
    }
    if (!exams.empty()) {
        items.push_back(join(exams, "、"));
    }
    return join(items, kItemSeparator);
}

std::string formsLine(const std::vector<Inflection>& exchange) {
    std::vector<std::string> items;
    for (const char kind : kFormKinds) {
        for (const Inflection& form : exchange) {
            if (form.kind == kind) {
                items.push_back(std::string(inflectionName(kind)) + " " + form.value);
            }
        }
    }
    return join(items, kItemSeparator);
}

std::string formOfLine(std::string_view lemma, char kind) {
    return std::string(lemma) + " 的" + std::string(inflectionName(kind));
}

// "go 的过去式；go 的过去分词" for a row whose exchange field says "0:go/1:pd".
// Left out when the translation already names the lemma ("go的过去式", "service复数形式").
std::string lemmaLine(const std::vector<Inflection>& exchange, std::string_view translation) {
    const auto lemma = std::find_if(exchange.begin(), exchange.end(),
                                    [](const Inflection& item) { return item.kind == '0'; });
    const auto kinds = std::find_if(exchange.begin(), exchange.end(),
                                    [](const Inflection& item) { return item.kind == '1'; });
    if (lemma == exchange.end() || kinds == exchange.end() ||
        translation.find(lemma->value) != std::string_view::npos) {
        return {};
    }
    std::vector<std::string> items;
    for (const char kind : kFormKinds) {
        if (kinds->value.find(kind) != std::string::npos) {
            items.push_back(formOfLine(lemma->value, kind));
        }
    }
    return join(items, kItemSeparator);
}

// What the "0:" and "1:" pairs of an exchange field say: the word's lemma and the kinds of form
// the word is of it ("0:go/1:pd" for gone).
struct LemmaOf {
    std::string lemma;
    std::string kinds;
};

std::optional<LemmaOf> lemmaOf(const std::vector<Inflection>& exchange) {
    std::optional<LemmaOf> out;
    for (const Inflection& item : exchange) {
        if (item.kind == '0') {
            out = LemmaOf{item.value, out ? out->kinds : std::string{}};
        }
    }
    for (const Inflection& item : exchange) {
        if (item.kind == '1' && out) {
            out->kinds = item.value;
        }
    }
    return out;
}

// Children and gone are only forms of other words; the "s:childrens" and "s:gones" they name, and
// the rows claiming them as lemma, are not English. Become ("0:become/1:d") is its own lemma and
// meeting ("0:meet/1:i") a noun of its own, so their forms are real.
bool isOnlyForm(const EcdictEntry& entry) {
    const std::optional<LemmaOf> lemma = lemmaOf(parseExchange(entry.exchange));
    return lemma && lemma->lemma != entry.word &&
           std::all_of(lemma->kinds.begin(), lemma->kinds.end(),
                       [](char kind) { return kind == 's' || kind == 'p' || kind == 'd'; });
}

// Whether a line of the translation gives a sense of one of these parts of speech ("n.", "vt.").
bool hasSense(const EcdictEntry& entry, std::initializer_list<std::string_view> marks) {
    const std::vector<std::string> lines = cleanLines(entry.translation);
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return std::any_of(marks.begin(), marks.end(),
                           [&](std::string_view mark) { return line.starts_with(mark); });
    });
}

// Whether the word's form of this kind can be English. A prefix or suffix with no other sense
// (lith, whose row lists lithest; macro is also a noun) and a plural have no forms of their own. A
// past or past participle has them only in a sense of its own: shot and rose are nouns too, so
// shots and roses are words, and lay is a verb beside lie's past, so lays is; gone is not a noun,
// so gones is not a word.
bool lendsForm(const EcdictEntry& entry, char kind) {
    const std::string translation = cleanText(entry.translation);
    const bool affix = translation.starts_with("pref.") || translation.starts_with("suf.");
    if (affix && !hasSense(entry, {"n.", "v", "a.", "adj."})) {
        return false;
    }
    if (!isOnlyForm(entry)) {
        return true;
    }
    const std::optional<LemmaOf> lemma = lemmaOf(parseExchange(entry.exchange));
    if (lemma->kinds.find_first_not_of('s') == std::string::npos) {
        return false;
    }
    switch (kind) {
        case 's':
            return hasSense(entry, {"n."});
        case 'r':
        case 't':
            return hasSense(entry, {"a.", "adj."});
        default:
            return hasSense(entry, {"v.", "vt.", "vi."});
    }
}

// Gone and drunk: a past or past participle of another word and not a plural.
bool isPastOnly(const EcdictEntry& entry) {
    if (!isOnlyForm(entry)) {
        return false;
    }
    const std::optional<LemmaOf> lemma = lemmaOf(parseExchange(entry.exchange));
    return lemma->kinds.find_first_of("pd") != std::string::npos &&
           lemma->kinds.find('s') == std::string::npos;
}

bool isLowerCase(std::string_view word) {
    return std::none_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

bool sameCase(std::string_view form, std::string_view lemma) {
    return isLowerCase(form) == isLowerCase(lemma);
}

// The names a translation gives the kinds of form: "（thousand的复数）", "(belly 的复数)",
// "come的三单形式", "grip的过去式及过去分词" (matched by its first kind).
constexpr std::array<std::pair<std::string_view, char>, 12> kFormNames = {{
    {"的名词复数", 's'},
    {"的复数", 's'},
    {"的过去式", 'p'},
    {"的过去时", 'p'},
    {"的过去分词", 'd'},
    {"的现在分词", 'i'},
    {"的第三人称", '3'},
    {"的单数第三人称", '3'},
    {"的三单", '3'},
    {"的单三", '3'},
    {"的比较级", 'r'},
    {"的最高级", 't'},
}};

// The English words a translation names as the lemma of a form, with the kind it names.
std::vector<Inflection> namedLemmas(std::string_view translation) {
    const auto isLemmaChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '\'' || c == '-';
    };
    std::vector<Inflection> out;
    for (const auto& [name, kind] : kFormNames) {
        for (std::size_t at = translation.find(name); at != std::string_view::npos;
             at = translation.find(name, at + 1)) {
            std::size_t end = at;
            while (end > 0 && translation[end - 1] == ' ') {
                --end;
            }
            std::size_t start = end;
            while (start > 0 && isLemmaChar(translation[start - 1])) {
                --start;
            }
            if (start < end) {
                out.push_back({kind, std::string(translation.substr(start, end - start))});
            }
        }
    }
    return out;
}

// Whether `form` is spelled as the regular form of `lemma` of that kind: thousands, websites,
// carried, stopped, making, larger. A translation that names a lemma is ECDICT's own guess and
// sometimes wrong ("climb 的过去式及过去分词的古体" for lomb); the spelling has to agree.
bool isRegularForm(std::string_view form, std::string_view lemma, char kind) {
    if (lemma.empty()) {
        return false;
    }
    std::vector<std::string_view> endings;
    switch (kind) {
        case 's':
        case '3':
            endings = {"s", "es"};
            break;
        case 'p':
        case 'd':
            endings = {"ed", "d"};
            break;
        case 'i':
            endings = {"ing"};
            break;
        case 'r':
            endings = {"er", "r"};
            break;
        case 't':
            endings = {"est", "st"};
            break;
        default:
            return false;
    }
    const std::string base(lemma);
    std::vector<std::string> stems = {base, base + base.back()};
    if (base.back() == 'e' || base.back() == 'y') {
        stems.push_back(base.substr(0, base.size() - 1) + (base.back() == 'y' ? "i" : ""));
    }
    return std::any_of(stems.begin(), stems.end(), [&](const std::string& stem) {
        return std::any_of(endings.begin(), endings.end(), [&](std::string_view ending) {
            return form.size() == stem.size() + ending.size() && form.starts_with(stem) &&
                   form.ends_with(ending);
        });
    });
}

bool isVowel(char c) {
    return std::string_view("aeiou").find(c) != std::string_view::npos;
}

bool isLetter(char c) {
    return c >= 'a' && c <= 'z';
}

// The spellings English rules give the form of this kind: cats, boxes, heroes, cities; walked,
// loved, carried, stopped; walking, making, stopping; taller, larger, happier, bigger and the same
// endings for the superlative. Stricter than isRegularForm, since here the spelling alone says
// that a row is a form: rest is not re with -st, nor bead be with -ad.
std::vector<std::string> regularSpellings(std::string_view lemma, char kind) {
    const std::size_t size = lemma.size();
    if (size < 2 || !std::all_of(lemma.begin(), lemma.end(), isLetter)) {
        return {};
    }
    const std::string base(lemma);
    const std::string stem = base.substr(0, size - 1);
    const char last = base.back();
    const bool endsInE = last == 'e';
    const bool consonantY = last == 'y' && !isVowel(base[size - 2]);
    const bool sibilant =
        last == 's' || last == 'x' || last == 'z' || base.ends_with("ch") || base.ends_with("sh");
    // Stop, plan and big double their last letter; rain, need and fix do not.
    const bool doubles = !isVowel(last) &&
                         std::string_view("wxy").find(last) == std::string::npos &&
                         isVowel(base[size - 2]) && (size < 3 || !isVowel(base[size - 3]));
    const auto suffixed = [&](std::string_view ending) {
        std::vector<std::string> out;
        if (endsInE && ending.front() == 'e') {
            out.push_back(base + std::string(ending.substr(1)));
        } else if (endsInE && ending == "ing" && !base.ends_with("ee") && !base.ends_with("ye") &&
                   !base.ends_with("oe")) {
            out.push_back(stem + "ing");
        } else if (consonantY && ending != "ing") {
            out.push_back(stem + "i" + std::string(ending));
        } else {
            out.push_back(base + std::string(ending));
        }
        if (doubles) {
            out.push_back(base + last + std::string(ending));
        }
        return out;
    };
    switch (kind) {
        case 's':
        case '3':
            if (consonantY) {
                return {stem + "ies"};
            }
            if (sibilant) {
                return {base + "es"};
            }
            return last == 'o' ? std::vector<std::string>{base + "s", base + "es"}
                               : std::vector<std::string>{base + "s"};
        case 'p':
        case 'd':
            return suffixed("ed");
        case 'i':
            return suffixed("ing");
        case 'r':
            return suffixed("er");
        case 't':
            return suffixed("est");
        default:
            return {};
    }
}

// The lemmas and kinds a word would be a regular form of, by its spelling alone, among the words
// `isWord` accepts.
template <typename IsWord>
std::vector<Inflection> regularLemmas(std::string_view form, const IsWord& isWord) {
    static const std::array<std::pair<std::string_view, std::string_view>, 13> kEndings = {{
        {"s", "s3"},
        {"es", "s3"},
        {"ies", "s3"},
        {"d", "pd"},
        {"ed", "pd"},
        {"ied", "pd"},
        {"ing", "i"},
        {"r", "r"},
        {"er", "r"},
        {"ier", "r"},
        {"st", "t"},
        {"est", "t"},
        {"iest", "t"},
    }};
    std::vector<Inflection> out;
    for (const auto& [ending, kinds] : kEndings) {
        if (!form.ends_with(ending) || form.size() < ending.size() + 2) {
            continue;
        }
        const std::string stem(form.substr(0, form.size() - ending.size()));
        std::vector<std::string> lemmas = {stem, stem + "e", stem + "y"};
        if (stem.size() >= 3 && stem.back() == stem[stem.size() - 2]) {
            lemmas.push_back(stem.substr(0, stem.size() - 1));
        }
        for (const char kind : kinds) {
            for (const std::string& lemma : lemmas) {
                if (!isWord(lemma)) {
                    continue;
                }
                const std::vector<std::string> spellings = regularSpellings(lemma, kind);
                const bool spelled =
                    std::find(spellings.begin(), spellings.end(), form) != spellings.end();
                const bool known = std::any_of(out.begin(), out.end(), [&](const Inflection& i) {
                    return i.kind == kind && i.value == lemma;
                });
                if (spelled && !known) {
                    out.push_back({kind, lemma});
                }
            }
        }
    }
    return out;
}

// Rows in listing order, with the parts of their sort key computed once.
struct Ranked {
    Row row;
    long rank = 0;
    std::size_t length = 0;
    std::string folded;
};

Ranked ranked(Row row, long rank) {
    Ranked out{std::move(row), rank, 0, {}};
    out.length = countCodePoints(out.row.word);
    out.folded = asciiLower(out.row.word);
    return out;
}

std::vector<Row> inEnglishOrder(std::vector<Ranked> rows) {
    std::sort(rows.begin(), rows.end(), [](const Ranked& a, const Ranked& b) {
        const bool aUnknown = a.rank == 0;
        const bool bUnknown = b.rank == 0;
        return std::tie(aUnknown, a.rank, a.length, a.folded, a.row.word) <
               std::tie(bUnknown, b.rank, b.length, b.folded, b.row.word);
    });
    std::vector<Row> out;
    out.reserve(rows.size());
    for (Ranked& r : rows) {
        out.push_back(std::move(r.row));
    }
    return out;
}

bool containsWord(std::string_view folded, std::string_view word) {
    const auto isWordChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
    };
    for (std::size_t at = folded.find(word); at != std::string_view::npos;
         at = folded.find(word, at + 1)) {
        const bool startsWord = at == 0 || !isWordChar(folded[at - 1]);
        const std::size_t end = at + word.size();
        const bool endsWord = end == folded.size() || !isWordChar(folded[end]);
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

bool containsAnyWord(std::string_view text, std::initializer_list<std::string_view> words) {
    const std::string folded = asciiLower(text);
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view word) { return containsWord(folded, word); });
}

bool containsAny(std::string_view text, std::initializer_list<std::string_view> pieces) {
    return std::any_of(pieces.begin(), pieces.end(), [&](std::string_view piece) {
        return text.find(piece) != std::string_view::npos;
    });
}

bool filedAsComputing(const EcdictEntry& entry) {
    return containsAny(entry.translation, {"[计]", "计算机", "电脑", "互联网", "因特网", "网站",
                                           "网页", "手机", "软件", "在线", "上网"}) ||
           containsAnyWord(entry.definition,
                           {"computer", "computers", "computing", "internet", "web", "website",
                            "online", "software", "network", "email", "e-mail"});
}

// Spell has spelt and learn learnt beside the -ed forms most writers use; send's sent and build's
// built have no such twin.
bool isTVariant(std::string_view irregular, std::string_view lemma) {
    const std::string base(lemma);
    const bool doubled = base.size() >= 2 && base.back() == base[base.size() - 2];
    return irregular == base + "t" ||
           (doubled && irregular == base.substr(0, base.size() - 1) + "t");
}

// ECDICT also has rows for forms made by a rule English spelling breaks: bellys and coachs for
// bellies and coaches, and writed or cameramans where the lemma's own row gives wrote and
// cameramen. Variants the lemma's row does not contradict (learnt, dwarves, benefitted) stay, and
// so do the -ed forms of verbs whose past in -t has an -ed twin (spelled) and pasts the corpora
// rank, which belong to a homograph (hanged, of hang as a way to kill).
bool isMisspeltForm(const EcdictEntry& formEntry, const EcdictEntry& lemma, char kind) {
    const std::string_view form = formEntry.word;
    const std::string_view word = lemma.word;
    if ((kind == 's' || kind == '3') && form.size() == word.size() + 1 && form.starts_with(word) &&
        form.back() == 's' && word.size() >= 2) {
        const bool consonantY = word.back() == 'y' && !isVowel(word[word.size() - 2]);
        const bool sibilant = word.ends_with("s") || word.ends_with("x") || word.ends_with("z") ||
                              word.ends_with("ch") || word.ends_with("sh");
        if (consonantY || sibilant) {
            return true;
        }
    }
    if (!isRegularForm(form, word, kind) ||
        ((kind == 'p' || kind == 'd') && formEntry.bestRank() > 0)) {
        return false;
    }
    const std::vector<Inflection> own = parseExchange(lemma.exchange);
    return std::any_of(own.begin(), own.end(), [&](const Inflection& item) {
        return item.kind == kind && item.value != form && !isRegularForm(item.value, word, kind) &&
               !isTVariant(item.value, word);
    });
}

bool isAcronym(std::string_view text) {
    const auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
    const auto upperOrDigit = [&](char c) { return upper(c) || (c >= '0' && c <= '9'); };
    return text.size() >= 2 && text.size() <= 8 && upper(text.front()) &&
           std::all_of(text.begin() + 1, text.end(), upperOrDigit);
}

// Capitalised headwords are ECDICT's names and proper nouns, so they are not plain.
bool isPlainHeadword(std::string_view word) {
    const auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
    const auto lowerOrDigit = [&](char c) { return lower(c) || (c >= '0' && c <= '9'); };
    if (word.size() < 2 || word.size() > 12) {
        return false;
    }
    if (isAcronym(word)) {
        return word.size() <= 4;
    }
    return lower(word.front()) && std::all_of(word.begin() + 1, word.end(), lowerOrDigit);
}

std::string_view trimmedGloss(std::string_view gloss) {
    while (!gloss.empty() && gloss.front() == ' ') {
        gloss.remove_prefix(1);
    }
    while (!gloss.empty() && gloss.back() == ' ') {
        gloss.remove_suffix(1);
    }
    for (const std::string_view article : {"to ", "a ", "an ", "the "}) {
        if (gloss.starts_with(article)) {
            gloss.remove_prefix(article.size());
            break;
        }
    }
    return gloss;
}

struct Gloss {
    std::string text;
    bool acronymOfGloss = false;  // "XML" from "extensible markup language (XML)"
};

// The glosses of one sense: its parts between semicolons and commas outside brackets, without
// their bracketed remarks and without a leading "to", "a", "an" or "the"; and an acronym given in
// brackets after a gloss in lower case. After a capitalised one it would be a name's (JAL, after
// "Japan Airlines").
std::vector<Gloss> glossesOf(std::string_view sense) {
    std::vector<Gloss> glosses;
    std::string outside;
    std::string remark;
    std::vector<std::string> remarks;
    int depth = 0;
    const auto endPart = [&] {
        const std::string_view gloss = trimmedGloss(outside);
        if (!gloss.empty()) {
            glosses.push_back({std::string(gloss)});
            if (gloss.front() >= 'a' && gloss.front() <= 'z') {
                for (const std::string& text : remarks) {
                    if (isAcronym(text)) {
                        glosses.push_back({text, true});
                    }
                }
            }
        }
        outside.clear();
        remarks.clear();
    };
    for (const char c : sense) {
        if (c == '(') {
            if (depth++ == 0) {
                remark.clear();
                continue;
            }
        } else if (c == ')' && depth > 0) {
            if (--depth == 0) {
                remarks.push_back(remark);
                continue;
            }
        } else if (depth == 0 && (c == ';' || c == ',')) {
            endPart();
            continue;
        }
        (depth == 0 ? outside : remark) += c;
    }
    endPart();
    return glosses;
}

bool isAboutComputing(std::string_view sense) {
    return containsAnyWord(
        sense, {"computing", "internet", "online", "website", "software", "smartphone", "app"});
}

bool isAboutSex(std::string_view sense) {
    return containsAnyWord(
        sense, {"sex", "sexual", "vulgar", "slut", "porn", "pornography", "prostitute"});
}

// ECDICT's words for what a translation describes as adult, and as a company or brand.
bool describesAdultMatter(std::string_view translation) {
    return containsAny(translation, {"性交", "做爱", "作爱", "淫", "妓", "荡妇", "娈童", "色情",
                                     "阴茎", "阴道", "奶头"});
}

bool describesCompany(std::string_view translation) {
    return containsAny(translation, {"公司", "品牌", "商标"});
}

std::u32string codePoints(std::string_view text) {
    std::u32string out;
    for (std::size_t pos = 0; pos < text.size();) {
        out += decodeUtf8(text, pos).value_or(kReplacementCharacter);
    }
    return out;
}

// Whether ECDICT's translation holds CC-CEDICT's Chinese word, one character aside in a word of
// four or more: the two dictionaries differ there as mainland and Taiwanese usage do (协议 and
// 协定) or by a near synonym (可扩展标记语言, 可扩展标示语言).
bool holdsWord(std::string_view translation, std::string_view chinese) {
    if (translation.find(chinese) != std::string_view::npos) {
        return true;
    }
    const std::u32string word = codePoints(chinese);
    if (word.size() < 4) {
        return false;
    }
    const std::u32string text = codePoints(translation);
    for (std::size_t at = 0; at + word.size() <= text.size(); ++at) {
        std::size_t differing = 0;
        for (std::size_t i = 0; i < word.size() && differing <= 1; ++i) {
            differing += text[at + i] != word[i] ? 1 : 0;
        }
        if (differing <= 1) {
            return true;
        }
    }
    return false;
}

// ECDICT labels a sense in brackets: <口>, [口], <美俚><粗>, [非规范用语、方言], (非正式).
enum class Register { None, Colloquial, Slang, Vulgar };

Register registerOfLabel(std::u32string label) {
    const std::u32string_view regions = U"主美英澳加拿大国苏格兰";
    while (!label.empty() && regions.find(label.front()) != std::u32string_view::npos) {
        label.erase(0, 1);
    }
    for (const std::u32string_view colloquial : {U"口", U"口语", U"非正式"}) {
        if (label == colloquial) {
            return Register::Colloquial;
        }
    }
    for (const std::u32string_view slang : {U"俚", U"俚语", U"方", U"方言", U"非规范用语"}) {
        if (label == slang) {
            return Register::Slang;
        }
    }
    for (const std::u32string_view vulgar : {U"粗", U"粗俗", U"粗话", U"鄙", U"忌", U"讳", U"贬"}) {
        if (label == vulgar) {
            return Register::Vulgar;
        }
    }
    return Register::None;
}

// The registers a translation's bracketed labels give, vulgar winning over the others.
Register registerOf(std::string_view translation) {
    constexpr std::size_t kLongestLabel = 10;
    const std::u32string_view opening = U"<[(（【";
    const std::u32string_view closing = U">])）】";
    const std::u32string text = codePoints(translation);
    Register found = Register::None;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (opening.find(text[at]) == std::u32string_view::npos) {
            continue;
        }
        const std::size_t end = text.find_first_of(closing, at + 1);
        if (end == std::u32string::npos || end - at - 1 > kLongestLabel) {
            continue;
        }
        std::u32string part;
        const auto endPart = [&] {
            const Register r = registerOfLabel(part);
            found = r == Register::Vulgar || found == Register::None ? r : found;
            part.clear();
        };
        for (std::size_t i = at + 1; i < end; ++i) {
            if (text[i] == U'、' || text[i] == U',') {
                endPart();
            } else {
                part += text[i];
            }
        }
        endPart();
    }
    return found;
}

bool describesVulgarity(std::string_view translation) {
    return registerOf(translation) == Register::Vulgar ||
           containsAny(translation, {"下流", "侮辱", "骂人", "脏话", "黑鬼", "蔑称"});
}

// The English phrase a translation says a word stands for: "（等于going to）", "<口> = bet you",
// "“out of”的简写体".
std::vector<std::string> spelledOutPhrases(std::string_view translation) {
    const auto isPhraseChar = [](char c) { return isLetter(c) || c == ' ' || c == '\''; };
    const auto trimmed = [](std::string_view text) {
        const std::size_t first = text.find_first_not_of(' ');
        const std::size_t last = text.find_last_not_of(' ');
        return first == std::string_view::npos ? std::string{}
                                               : std::string(text.substr(first, last - first + 1));
    };
    std::vector<std::string> out;
    for (const std::string_view sign : {"=", "＝", "等于"}) {
        for (std::size_t at = translation.find(sign); at != std::string_view::npos;
             at = translation.find(sign, at + 1)) {
            std::size_t start = at + sign.size();
            for (const std::string_view quote : {" ", "“", "\"", " "}) {
                if (translation.substr(start).starts_with(quote)) {
                    start += quote.size();
                }
            }
            std::size_t end = start;
            while (end < translation.size() && isPhraseChar(translation[end])) {
                ++end;
            }
            out.push_back(trimmed(translation.substr(start, end - start)));
        }
    }
    for (const std::string_view note : {"”的简写", "”的缩写", "\"的简写", "\"的缩写"}) {
        const std::size_t end = translation.find(note);
        if (end == std::string_view::npos) {
            continue;
        }
        std::size_t start = end;
        while (start > 0 && isPhraseChar(translation[start - 1])) {
            --start;
        }
        out.push_back(trimmed(translation.substr(start, end - start)));
    }
    return out;
}

// Gonna for going to, outta for out of, lemme for let me: a spelling of two or three concise
// words, no longer than they are, beginning with their first two letters and ending in the vowel
// the unstressed to, of, me or you is said with. Expansions of abbreviations are capitalised
// ("Cylinder Overflow Control Record" for cocr) or begin or end otherwise (lma, "late membrane
// antigen"; wox, "wound of exit").
template <typename IsConcise>
bool isContractionOf(std::string_view word, const std::string& phrase, const IsConcise& isConcise) {
    const std::vector<std::string_view> words = split(phrase, " ");
    constexpr std::size_t kLongestPhrase = 3;
    if (words.size() < 2 || words.size() > kLongestPhrase || word.size() < 2 ||
        !phrase.starts_with(word.substr(0, 2)) ||
        word.size() > phrase.size() - (words.size() - 1) || !isVowel(word.back())) {
        return false;
    }
    return std::all_of(words.begin(), words.end(), [&](std::string_view w) {
        return !w.empty() && std::all_of(w.begin(), w.end(), isLetter) && isConcise(w);
    });
}

// Chinese headwords and the readings listed under each, in first-seen order.
struct Group {
    std::string headword;
    std::vector<const CedictEntry*> entries;
    long count = 0;
    std::size_t length = 0;
};

enum class Side { Simplified, Traditional };

std::string classifierText(const CedictEntry& entry, const Cedict& cedict, Side side) {
    std::vector<std::string> items;
    for (const std::size_t index : entry.classifiers) {
        const CedictWord& word = cedict.classifiers[index];
        const std::string& form = side == Side::Simplified ? word.simplified : word.traditional;
        items.push_back(form + "[" + toneMarks(word.pinyin) + "]");
    }
    return items.empty() ? std::string{} : "量词：" + join(items, "、");
}

std::string readingLine(const CedictEntry& entry, const Cedict& cedict, Side side) {
    const std::string& other = side == Side::Simplified ? entry.traditional : entry.simplified;
    const std::string& own = side == Side::Simplified ? entry.simplified : entry.traditional;
    std::string line;
    if (other != own) {
        line += other + " ";
    }
    line += "[" + toneMarks(entry.pinyin) + "]";
    std::vector<std::string> parts;
    for (const std::string& sense : entry.senses) {
        parts.push_back(markCrossReferences(sense));
    }
    const std::string classifiers = classifierText(entry, cedict, side);
    if (!classifiers.empty()) {
        parts.push_back(classifiers);
    }
    if (!parts.empty()) {
        line += " " + join(parts, "; ");
    }
    return line;
}

std::vector<Group> groupBy(const Cedict& cedict, Side side) {
    std::vector<Group> groups;
    std::unordered_map<std::string_view, std::size_t> index;
    for (const CedictEntry& entry : cedict.entries) {
        if (side == Side::Traditional && entry.traditional == entry.simplified) {
            continue;
        }
        const std::string& headword =
            side == Side::Simplified ? entry.simplified : entry.traditional;
        const auto [slot, added] = index.try_emplace(headword, groups.size());
        if (added) {
            groups.push_back({headword, {}, 0, countCodePoints(headword)});
        }
        groups[slot->second].entries.push_back(&entry);
    }
    return groups;
}

long countOf(const WordCounts& counts, const std::string& word) {
    const auto found = counts.find(word);
    return found == counts.end() ? 0 : found->second;
}

// CC-CEDICT sorts the readings of a headword by their pinyin, which puts surnames and names
// ("Hé", "Píng guǒ") and bare variant references first. The common word reads better first.
constexpr int kCommonReading = 0;
constexpr int kNameReading = 1;
constexpr int kVariantReading = 2;

int readingRank(const CedictEntry& entry) {
    const auto isVariantNote = [](const std::string& sense) {
        return sense.find("variant of ") != std::string::npos;
    };
    if (!entry.senses.empty() &&
        std::all_of(entry.senses.begin(), entry.senses.end(), isVariantNote)) {
        return kVariantReading;
    }
    const bool capitalised =
        !entry.pinyin.empty() && entry.pinyin.front() >= 'A' && entry.pinyin.front() <= 'Z';
    return capitalised ? kNameReading : kCommonReading;
}

std::vector<Row> groupRows(std::vector<Group> groups, const Cedict& cedict, Side side) {
    std::stable_sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) {
        return a.count != b.count ? a.count > b.count : a.length < b.length;
    });
    std::vector<Row> rows;
    rows.reserve(groups.size());
    for (Group& group : groups) {
        std::stable_sort(group.entries.begin(), group.entries.end(),
                         [](const CedictEntry* a, const CedictEntry* b) {
                             return readingRank(*a) < readingRank(*b);
                         });
        std::vector<std::string> lines;
        for (const CedictEntry* entry : group.entries) {
            lines.push_back(readingLine(*entry, cedict, side));
        }
        rows.push_back({group.headword, join(lines, kLineBreak)});
    }
    return rows;
}

std::string explanationWith(const EcdictEntry& entry, std::vector<std::string> translation) {
    const std::string lemma =
        lemmaLine(parseExchange(entry.exchange), join(translation, kLineBreak));
    std::vector<std::string> lines;
    const std::string phonetic = normalisePhonetic(entry.phonetic);
    if (!phonetic.empty()) {
        lines.push_back("/" + phonetic + "/");
    }
    for (std::string& line : translation) {
        lines.push_back(std::move(line));
    }
    for (std::string& line : joinWrappedLines(cleanLines(entry.definition))) {
        lines.push_back(std::move(line));
    }
    const std::vector<Inflection> exchange = parseExchange(entry.exchange);
    for (std::string line : {rankingLine(entry), formsLine(exchange), lemma}) {
        if (!line.empty()) {
            lines.push_back(std::move(line));
        }
    }
    return join(lines, kLineBreak);
}

}  // namespace

std::string englishExplanation(const EcdictEntry& entry) {
    return explanationWith(entry, cleanLines(entry.translation));
}

std::vector<Row> englishRows(const std::vector<EcdictEntry>& entries) {
    std::vector<Ranked> rows;
    rows.reserve(entries.size());
    for (const EcdictEntry& entry : entries) {
        std::vector<std::string> translation = cleanLines(entry.translation);
        if (!entry.word.empty() && !translation.empty()) {
            rows.push_back(ranked({entry.word, explanationWith(entry, std::move(translation))},
                                  entry.bestRank()));
        }
    }
    return inEnglishOrder(std::move(rows));
}

bool isCommonWord(const EcdictEntry& entry) {
    const bool onExamList =
        std::any_of(kExamNames.begin(), kExamNames.end(),
                    [&](const auto& exam) { return hasTag(entry, exam.first); });
    const long rank = entry.bestRank();
    return onExamList || entry.collins > 0 || entry.oxford || (rank > 0 && rank <= kCommonRank);
}

std::string glossKey(std::string_view text) {
    std::string key;
    for (const char c : text) {
        if (c != ' ' && c != '-') {
            key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    return key;
}

CurrentUsage::CurrentUsage(const Cedict& cedict) {
    for (const CedictEntry& entry : cedict.entries) {
        for (const std::string& sense : entry.senses) {
            const bool computing = isAboutComputing(sense);
            const bool adult = isAboutSex(sense);
            for (const Gloss& gloss : glossesOf(sense)) {
                GlossKind kind = GlossKind::Name;
                if (gloss.acronymOfGloss || isAcronym(gloss.text)) {
                    kind = GlossKind::Acronym;
                } else if (gloss.text.front() >= 'a' && gloss.text.front() <= 'z') {
                    kind = GlossKind::Common;
                }
                const bool spaced = gloss.text.find(' ') != std::string::npos;
                uses_[glossKey(gloss.text)].push_back(
                    {entry.simplified, kind, computing, adult, spaced});
            }
        }
    }
}

bool CurrentUsage::isModernWord(const EcdictEntry& entry) const {
    if (!isPlainHeadword(entry.word)) {
        return false;
    }
    const auto found = uses_.find(glossKey(entry.word));
    if (found == uses_.end()) {
        return false;
    }
    const std::string translation = cleanText(entry.translation);
    if (describesAdultMatter(translation) || describesCompany(translation)) {
        return false;
    }
    const bool abbreviation = translation.starts_with("abbr.");
    const bool lowerCase = isLowerCase(entry.word);
    const bool computing = filedAsComputing(entry);
    return std::any_of(found->second.begin(), found->second.end(), [&](const Use& use) {
        if (use.adult || (use.kind == GlossKind::Name && !abbreviation)) {
            return false;
        }
        return (!use.spaced && holdsWord(translation, use.chinese)) ||
               (lowerCase && use.kind == GlossKind::Common && (use.computing || computing));
    });
}

namespace {

// A translation that reads the word as an abbreviation or a name (bits as "abbr. 后台智能传输服务",
// childs as "n. 蔡尔兹（人名）") says nothing of the form a learner typed.
bool describesName(std::string_view translation) {
    return containsAny(translation, {"人名", "姓氏", "地名", "男子名", "女子名"});
}

bool namesSomethingElse(std::string_view translation) {
    const std::string_view first = translation.substr(0, translation.find(kLineBreak));
    return first.starts_with("abbr.") || describesName(first);
}

// Everyday informal words that ECDICT ranks too rarely for the concise table: those it labels
// colloquial (<口>, [口语], (非正式)), slang or dialect that a corpus ranks (snuck, <方>), and
// contractions of concise words (gonna, outta). Vulgar and adult words, names, brands and
// abbreviations stay out.
template <typename IsConcise>
bool isInformalWord(const EcdictEntry& entry, const IsConcise& isConcise) {
    constexpr std::size_t kLongestWord = 12;
    const std::string_view word = entry.word;
    if (word.size() < 2 || word.size() > kLongestWord ||
        !std::all_of(word.begin(), word.end(), isLetter)) {
        return false;
    }
    // Most rows have none of the marks looked for; finding that out first saves the cleaning.
    if (!containsAny(entry.translation,
                     {"口", "俚", "方", "非正式", "非规范", "=", "＝", "等于", "简写", "缩写"})) {
        return false;
    }
    const std::string translation = cleanText(entry.translation);
    if (translation.empty() || describesAdultMatter(translation) ||
        describesVulgarity(translation) || describesCompany(translation)) {
        return false;
    }
    const std::vector<std::string> phrases = spelledOutPhrases(translation);
    if (std::any_of(phrases.begin(), phrases.end(), [&](const std::string& phrase) {
            return isContractionOf(word, phrase, isConcise);
        })) {
        return true;
    }
    if (namesSomethingElse(translation) || describesName(translation)) {
        return false;
    }
    const Register kind = registerOf(translation);
    return kind == Register::Colloquial || (kind == Register::Slang && entry.bestRank() > 0);
}

// The form rows of the concise table, each with the lines saying what it is a form of.
class FormRows {
public:
    bool contains(std::string_view form) const { return lines_.contains(std::string(form)); }

    void add(const std::string& form, std::string_view lemma, char kind) {
        auto [slot, added] = lines_.try_emplace(form);
        if (added) {
            order_.push_back(form);
        }
        std::string line = formOfLine(lemma, kind);
        if (std::find(slot->second.begin(), slot->second.end(), line) == slot->second.end()) {
            slot->second.push_back(std::move(line));
        }
    }

    // Each form with its own translation when ECDICT has one, else its lines.
    void appendTo(std::vector<Ranked>& rows,
                  const std::unordered_map<std::string_view, const EcdictEntry*>& byWord) const {
        for (const std::string& form : order_) {
            const auto own = byWord.find(form);
            std::string explanation =
                own != byWord.end() ? cleanText(own->second->translation) : std::string{};
            if (explanation.empty() || namesSomethingElse(explanation)) {
                explanation = join(lines_.at(form), kLineBreak);
            }
            if (!explanation.empty()) {
                const long rank = own != byWord.end() ? own->second->bestRank() : 0;
                rows.push_back(ranked({form, std::move(explanation)}, rank));
            }
        }
    }

private:
    std::vector<std::string> order_;
    std::unordered_map<std::string, std::vector<std::string>> lines_;
};

// Babysit lists babysitting, so babysiting is a slip, where both travelled and traveled are
// regular. A row a corpus ranks is taken all the same.
bool missesListedDoubling(std::string_view form, const EcdictEntry& lemma, char kind) {
    const std::vector<Inflection> listed = parseExchange(lemma.exchange);
    return std::any_of(listed.begin(), listed.end(), [&](const Inflection& item) {
        if (item.kind != kind || item.value.size() != form.size() + 1) {
            return false;
        }
        for (std::size_t at = 1; at < item.value.size(); ++at) {
            if (item.value[at] == item.value[at - 1] &&
                item.value.substr(0, at) + item.value.substr(at + 1) == form) {
                return true;
            }
        }
        return false;
    });
}

// Gotten and proven keep the old participle in -en beside the past participle their lemma's row
// lists (got, proved): a translation naming such a past participle is taken at its word. Slidding
// is not slid with -en, so "slide的过去分词" for it is ECDICT's slip, as is climb's for lomb.
bool isOldParticiple(std::string_view form, const EcdictEntry& lemma, char kind) {
    if (kind != 'd') {
        return false;
    }
    const std::string base(lemma.word);
    if (form == base + "n" || form == base + "en") {
        return true;
    }
    const std::vector<Inflection> listed = parseExchange(lemma.exchange);
    return std::any_of(listed.begin(), listed.end(), [&](const Inflection& item) {
        return item.kind == 'd' && !item.value.empty() &&
               (form == item.value + "en" || form == item.value + item.value.back() + "en");
    });
}

// Whether the lemma's translation allows a form of this kind: a plural of a noun, a past of a
// verb, a comparative of an adjective, only a plural of an abbreviation (dvds), nothing of a name
// (fred). A row that gives no part of speech allows any.
bool sensesAllow(const EcdictEntry& lemma, char kind) {
    const std::string translation = cleanText(lemma.translation);
    if (describesName(translation.substr(0, translation.find(kLineBreak)))) {
        return false;
    }
    if (translation.starts_with("abbr.")) {
        return kind == 's';
    }
    if (!hasSense(lemma, {"n.", "v", "a.", "adj.", "adv.", "prep.", "pron.", "conj.", "int.",
                          "interj.", "num.", "art.", "aux."})) {
        return true;
    }
    return lendsForm(lemma, kind) && (isOnlyForm(lemma) || [&] {
               switch (kind) {
                   case 's':
                       return hasSense(lemma, {"n.", "num."});
                   case 'r':
                   case 't':
                       return hasSense(lemma, {"a.", "adj.", "adv."});
                   default:
                       return hasSense(lemma, {"v"});
               }
           }());
}

// Adds the row as a form of a chosen word, reached three ways, tried in turn:
//  - its own exchange field names a chosen word as its lemma (were: "0:be/1:p");
//  - its translation names it a form of a chosen word ("数千（thousand的复数）"), when it is
//    spelled as a regular form of that word;
//  - whatever ECDICT says, its spelling is a regular form of a chosen word (hundreds, shots,
//    weirdest where ECDICT's exchange field names "weirde"), and it has a translation of its own.
template <typename Lends>
void addAsForm(const EcdictEntry& entry,
               const std::unordered_map<std::string_view, const EcdictEntry*>& byWord,
               const Lends& lends, FormRows& forms) {
    const auto notMisspelt = [&](const std::string& lemma, const std::vector<char>& kinds) {
        return !kinds.empty() && std::none_of(kinds.begin(), kinds.end(), [&](char kind) {
            return isMisspeltForm(entry, *byWord.at(lemma), kind);
        });
    };
    const auto addAll = [&](const std::string& lemma, const std::vector<char>& kinds) {
        for (const char kind : kinds) {
            forms.add(entry.word, lemma, kind);
        }
    };
    const std::optional<LemmaOf> lemma = lemmaOf(parseExchange(entry.exchange));
    if (lemma && lemma->lemma != entry.word && sameCase(entry.word, lemma->lemma)) {
        std::vector<char> kinds;
        for (const char kind : kFormKinds) {
            if (lemma->kinds.find(kind) != std::string::npos && lends(lemma->lemma, kind, entry)) {
                kinds.push_back(kind);
            }
        }
        if (notMisspelt(lemma->lemma, kinds)) {
            addAll(lemma->lemma, kinds);
            return;
        }
    }
    if (!lemma) {
        for (const Inflection& named : namedLemmas(entry.translation)) {
            if (named.value != entry.word && lends(named.value, named.kind, entry) &&
                sameCase(entry.word, named.value) &&
                (isRegularForm(entry.word, named.value, named.kind) ||
                 isOldParticiple(entry.word, *byWord.at(named.value), named.kind)) &&
                notMisspelt(named.value, {named.kind})) {
                forms.add(entry.word, named.value, named.kind);
                return;
            }
        }
    }
    std::vector<std::pair<std::string, std::vector<char>>> candidates;
    const std::string_view word = entry.word;
    if (!std::all_of(word.begin(), word.end(), isLetter)) {
        return;
    }
    const auto isWord = [&](const std::string& lemma) { return byWord.contains(lemma); };
    for (const Inflection& candidate : regularLemmas(word, isWord)) {
        if (!lends(candidate.value, candidate.kind, entry) ||
            !sameCase(entry.word, candidate.value) ||
            !sensesAllow(*byWord.at(candidate.value), candidate.kind)) {
            continue;
        }
        const auto same = [&](const auto& c) { return c.first == candidate.value; };
        auto slot = std::find_if(candidates.begin(), candidates.end(), same);
        if (slot == candidates.end()) {
            candidates.push_back({candidate.value, {}});
            slot = candidates.end() - 1;
        }
        slot->second.push_back(candidate.kind);
    }
    if (candidates.empty()) {
        return;
    }
    const std::string translation = cleanText(entry.translation);
    // A translation that reads the row as an abbreviation (dvds as "abbr. digital video display
    // system") gives way to the lines naming its lemma, as a plural only (ner is no comparative
    // of ne). One that says nothing keeps the row out,
    // since ECDICT's rows without a translation are slang definitions, not forms; so does one that
    // reads it as a name (allens, of the name Allen) or a brand (acnes).
    const std::string_view first =
        std::string_view(translation).substr(0, translation.find(kLineBreak));
    if (translation.empty() || describesName(first) || describesCompany(translation) ||
        describesAdultMatter(translation) || describesVulgarity(translation)) {
        return;
    }
    if (first.starts_with("abbr.")) {
        for (auto& [of, kinds] : candidates) {
            kinds.erase(std::remove_if(kinds.begin(), kinds.end(), [](char k) { return k != 's'; }),
                        kinds.end());
        }
    }
    for (auto& candidate : candidates) {
        // Named, not bound: clang before 16 cannot capture a structured binding in a lambda.
        const auto& of = candidate.first;
        auto& kinds = candidate.second;
        std::sort(kinds.begin(), kinds.end(), [](char a, char b) {
            return std::find(kFormKinds.begin(), kFormKinds.end(), a) <
                   std::find(kFormKinds.begin(), kFormKinds.end(), b);
        });
        if (notMisspelt(of, kinds) &&
            (entry.bestRank() > 0 || std::none_of(kinds.begin(), kinds.end(), [&](char kind) {
                 return missesListedDoubling(word, *byWord.at(of), kind);
             }))) {
            addAll(of, kinds);
            return;
        }
    }
}

}  // namespace

std::vector<Row> conciseRows(const std::vector<EcdictEntry>& entries, const Cedict& cedict) {
    const CurrentUsage usage(cedict);
    std::unordered_map<std::string_view, const EcdictEntry*> byWord;
    byWord.reserve(entries.size());
    for (const EcdictEntry& entry : entries) {
        byWord.emplace(entry.word, &entry);
    }
    std::vector<Ranked> rows;
    std::unordered_set<std::string_view> chosen;
    std::vector<const EcdictEntry*> selected;
    const auto choose = [&](const EcdictEntry& entry) {
        rows.push_back(ranked({entry.word, cleanText(entry.translation)}, entry.bestRank()));
        chosen.insert(entry.word);
        selected.push_back(&entry);
    };
    for (const EcdictEntry& entry : entries) {
        if (!entry.word.empty() && (isCommonWord(entry) || usage.isModernWord(entry)) &&
            !cleanText(entry.translation).empty()) {
            choose(entry);
        }
    }
    const std::unordered_set<std::string_view> common = chosen;
    const auto isCommon = [&](std::string_view word) { return common.contains(word); };
    for (const EcdictEntry& entry : entries) {
        if (!chosen.contains(entry.word) && isInformalWord(entry, isCommon)) {
            choose(entry);
        }
    }
    // ECDICT's row for drunk gives only the adjective, but drunks' own row the noun it is the
    // plural of; gones' row gives only the adjective again.
    const auto lends = [&](const std::string& word, char kind, const EcdictEntry& form) {
        if (!chosen.contains(word)) {
            return false;
        }
        const EcdictEntry& lemma = *byWord.at(word);
        return lendsForm(lemma, kind) ||
               (kind == 's' && isPastOnly(lemma) && hasSense(form, {"n."}));
    };

    FormRows forms;
    for (const EcdictEntry* entry : selected) {
        const std::vector<Inflection> exchange = parseExchange(entry->exchange);
        const bool alsoAForm = lemmaOf(exchange).has_value();
        for (const char kind : kFormKinds) {
            for (const Inflection& form : exchange) {
                if (form.kind != kind || chosen.contains(form.value) || !lendsForm(*entry, kind)) {
                    continue;
                }
                if (alsoAForm &&
                    (!byWord.contains(form.value) || !sameCase(form.value, entry->word))) {
                    continue;
                }
                forms.add(form.value, entry->word, kind);
            }
        }
    }

    for (const EcdictEntry& entry : entries) {
        if (!entry.word.empty() && !chosen.contains(entry.word) && !forms.contains(entry.word)) {
            addAsForm(entry, byWord, lends, forms);
        }
    }
    forms.appendTo(rows, byWord);
    return inEnglishOrder(std::move(rows));
}

std::vector<Row> chineseRows(const Cedict& cedict, const WordCounts& counts) {
    std::vector<Group> simplified = groupBy(cedict, Side::Simplified);
    for (Group& group : simplified) {
        group.count = countOf(counts, group.headword);
    }
    std::vector<Group> traditional = groupBy(cedict, Side::Traditional);
    // A traditional headword is as common as its simplified form, unless all it says is that it
    // is a variant of that form (咊 of 和): then only its own count, if any, places it.
    for (Group& group : traditional) {
        group.count = countOf(counts, group.headword);
        for (const CedictEntry* entry : group.entries) {
            if (readingRank(*entry) != kVariantReading) {
                group.count = std::max(group.count, countOf(counts, entry->simplified));
            }
        }
    }
    std::vector<Row> rows = groupRows(std::move(simplified), cedict, Side::Simplified);
    std::vector<Row> traditionalRows = groupRows(std::move(traditional), cedict, Side::Traditional);
    rows.insert(rows.end(), std::make_move_iterator(traditionalRows.begin()),
                std::make_move_iterator(traditionalRows.end()));
    return rows;
}

}  // namespace moshitong::builder
