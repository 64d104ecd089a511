#include "tools/lexi-build/compose.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <unordered_map>

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

bool isForm(const std::vector<Inflection>& exchange) {
    return std::any_of(exchange.begin(), exchange.end(),
                       [](const Inflection& item) { return item.kind == '0'; });
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

bool isPlainHeadword(std::string_view word) {
    const auto lowerOrDigit = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    };
    const auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
    if (word.size() < 2 || word.size() > 12) {
        return false;
    }
    if (std::all_of(word.begin(), word.end(), upper)) {
        return word.size() <= 4;
    }
    const bool firstOk = lowerOrDigit(word.front()) || upper(word.front());
    return firstOk && (word.front() < '0' || word.front() > '9') &&
           std::all_of(word.begin() + 1, word.end(), lowerOrDigit);
}

// The glosses of one sense: its parts between semicolons and commas, without parenthesised
// remarks and without a leading "to", "a", "an" or "the".
std::vector<std::string> glossesOf(std::string_view sense) {
    std::string stripped;
    int depth = 0;
    for (const char c : sense) {
        depth += c == '(' ? 1 : 0;
        if (depth == 0) {
            stripped += c;
        }
        depth -= (c == ')' && depth > 0) ? 1 : 0;
    }
    std::vector<std::string> glosses;
    for (std::string_view gloss : split(stripped, ";,")) {
        while (!gloss.empty() && gloss.front() == ' ') {
            gloss.remove_prefix(1);
        }
        for (const std::string_view article : {"to ", "a ", "an ", "the "}) {
            if (gloss.starts_with(article)) {
                gloss.remove_prefix(article.size());
                break;
            }
        }
        const std::string key = glossKey(gloss);
        if (!key.empty()) {
            glosses.push_back(key);
        }
    }
    return glosses;
}

bool isAboutComputing(std::string_view sense) {
    return containsAnyWord(
        sense, {"computing", "internet", "online", "website", "software", "smartphone", "app"});
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
            for (std::string& gloss : glossesOf(sense)) {
                if (computing) {
                    computingGlosses_.insert(gloss);
                }
                glosses_.insert(std::move(gloss));
            }
        }
    }
}

bool CurrentUsage::isModernWord(const EcdictEntry& entry) const {
    if (!isPlainHeadword(entry.word)) {
        return false;
    }
    const std::string key = glossKey(entry.word);
    return glosses_.contains(key) && (computingGlosses_.contains(key) || filedAsComputing(entry));
}

std::vector<Row> conciseRows(const std::vector<EcdictEntry>& entries, const Cedict& cedict) {
    const CurrentUsage usage(cedict);
    std::unordered_map<std::string_view, const EcdictEntry*> byWord;
    byWord.reserve(entries.size());
    for (const EcdictEntry& entry : entries) {
        byWord.emplace(entry.word, &entry);
    }
    std::vector<Ranked> rows;
    std::unordered_set<std::string_view> listed;
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
        listed.insert(entry.word);
        selected.push_back(&entry);
    }
    // Forms reached through the selected words' exchange fields, in first-named order.
    std::vector<std::string> formOrder;
    std::unordered_map<std::string, std::vector<std::string>> formLines;
    for (const EcdictEntry* entry : selected) {
        const std::vector<Inflection> exchange = parseExchange(entry->exchange);
        // A word that is itself a form (children, gone) names doubtful forms of its own
        // ("childrens", "gones"); only lemmas contribute.
        if (isForm(exchange)) {
            continue;
        }
        for (const char kind : kFormKinds) {
            for (const Inflection& form : exchange) {
                if (form.kind != kind || listed.contains(form.value)) {
                    continue;
                }
                auto [slot, added] = formLines.try_emplace(form.value);
                if (added) {
                    formOrder.push_back(form.value);
                }
                std::string line = formOfLine(entry->word, form.kind);
                if (std::find(slot->second.begin(), slot->second.end(), line) ==
                    slot->second.end()) {
                    slot->second.push_back(std::move(line));
                }
            }
        }
    }
    for (const std::string& form : formOrder) {
        const auto own = byWord.find(form);
        const std::string translation =
            own != byWord.end() ? cleanText(own->second->translation) : "";
        const long rank = own != byWord.end() ? own->second->bestRank() : 0;
        rows.push_back(ranked(
            {form, translation.empty() ? join(formLines[form], kLineBreak) : translation}, rank));
    }
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
