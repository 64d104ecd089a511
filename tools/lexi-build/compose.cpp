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

// ECDICT also has rows for forms made by a rule English spelling breaks: bellys and coachs for
// bellies and coaches, and writed or cameramans where the lemma's own row gives wrote and
// cameramen. Variants the lemma's row does not contradict (learnt, dwarves, benefitted) stay.
bool isMisspeltForm(std::string_view form, const EcdictEntry& lemma, char kind) {
    const std::string_view word = lemma.word;
    if ((kind == 's' || kind == '3') && form.size() == word.size() + 1 && form.starts_with(word) &&
        form.back() == 's' && word.size() >= 2) {
        const auto isVowel = [](char c) {
            return std::string_view("aeiou").find(c) != std::string_view::npos;
        };
        const bool consonantY = word.back() == 'y' && !isVowel(word[word.size() - 2]);
        const bool sibilant = word.ends_with("s") || word.ends_with("x") || word.ends_with("z") ||
                              word.ends_with("ch") || word.ends_with("sh");
        if (consonantY || sibilant) {
            return true;
        }
    }
    if (!isRegularForm(form, word, kind)) {
        return false;
    }
    const std::vector<Inflection> own = parseExchange(lemma.exchange);
    return std::any_of(own.begin(), own.end(), [&](const Inflection& item) {
        return item.kind == kind && item.value != form && !isRegularForm(item.value, word, kind);
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
            if (explanation.empty()) {
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
    for (const EcdictEntry& entry : entries) {
        if (entry.word.empty() || !(isCommonWord(entry) || usage.isModernWord(entry))) {
            continue;
        }
        std::string translation = cleanText(entry.translation);
        if (translation.empty()) {
            continue;
        }
        rows.push_back(ranked({entry.word, std::move(translation)}, entry.bestRank()));
        chosen.insert(entry.word);
        selected.push_back(&entry);
    }
    const auto isLemma = [&](const std::string& word) {
        return chosen.contains(word) && !isOnlyForm(*byWord.at(word));
    };

    FormRows forms;
    for (const EcdictEntry* entry : selected) {
        if (isOnlyForm(*entry)) {
            continue;
        }
        const std::vector<Inflection> exchange = parseExchange(entry->exchange);
        const bool alsoAForm = lemmaOf(exchange).has_value();
        for (const char kind : kFormKinds) {
            for (const Inflection& form : exchange) {
                if (form.kind != kind || chosen.contains(form.value)) {
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
        if (entry.word.empty() || chosen.contains(entry.word) || forms.contains(entry.word)) {
            continue;
        }
        const std::optional<LemmaOf> lemma = lemmaOf(parseExchange(entry.exchange));
        if (lemma) {
            // The row's own exchange field is the authority on what it is a form of.
            if (lemma->lemma == entry.word || !isLemma(lemma->lemma) ||
                !sameCase(entry.word, lemma->lemma)) {
                continue;
            }
            const EcdictEntry& of = *byWord.at(lemma->lemma);
            std::vector<char> kinds;
            for (const char kind : kFormKinds) {
                if (lemma->kinds.find(kind) != std::string::npos) {
                    kinds.push_back(kind);
                }
            }
            if (std::none_of(kinds.begin(), kinds.end(),
                             [&](char kind) { return isMisspeltForm(entry.word, of, kind); })) {
                for (const char kind : kinds) {
                    forms.add(entry.word, lemma->lemma, kind);
                }
            }
            continue;
        }
        for (const Inflection& named : namedLemmas(entry.translation)) {
            if (named.value != entry.word && isLemma(named.value) &&
                sameCase(entry.word, named.value) &&
                isRegularForm(entry.word, named.value, named.kind) &&
                !isMisspeltForm(entry.word, *byWord.at(named.value), named.kind)) {
                forms.add(entry.word, named.value, named.kind);
                break;
            }
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
