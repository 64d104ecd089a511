#pragma once
// What goes into the three tables, in the order a listing shows it. Lookups never sort, so the
// order rows are returned in here is the order users see.
//
// English rows go by their better frequency rank (ranks unknown last), then by length, then
// alphabetically; so a fuzzy "app" lists happen, appear, apply before rarer words. Chinese rows
// go by jieba's count, then by length; the traditional headwords come after every simplified one.

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "tools/lexi-build/cedict.h"
#include "tools/lexi-build/ecdict.h"
#include "tools/lexi-build/jieba.h"

namespace moshitong::builder {

struct Row {
    std::string word;
    std::string explanation;  // lines joined by CR LF
};

// 英语单词: the phonetic transcription in IPA between slashes, the Chinese translation, the
// English definition, Collins stars, Oxford 3000 and exam lists in Chinese, the word's own
// forms ("复数 apples") and what it is a form of ("go 的过去式"), one item a line.
std::string englishExplanation(const EcdictEntry& entry);

// Every ECDICT row with a Chinese translation.
std::vector<Row> englishRows(const std::vector<EcdictEntry>& entries);

// A word common enough for the concise table: on an exam list, with a Collins star, in the
// Oxford 3000, or ranked within the 30,000 most frequent words.
bool isCommonWord(const EcdictEntry& entry);

// ECDICT's frequency ranks come from corpora older than the web, so everyday computing words
// (login, homepage, HTML, USB, Google) have none. Such a word still joins the concise table when
// both sources vouch for it:
//  - ECDICT files it as computing or Internet vocabulary (its [计] label, or a definition or
//    translation that speaks of computers, the Internet, websites, software or phones), or
//    CC-CEDICT uses it in a sense about computing or the Internet; and
//  - CC-CEDICT, which is kept up to date, uses it as a whole gloss of a Chinese word ("登录:
//    to log in", "主页: home page"), compared without case, spaces or hyphens; and
//  - it is short and plain: 2 to 12 letters and digits, lower case or capitalised, or an
//    acronym of 2 to 4 capitals.
class CurrentUsage {
public:
    explicit CurrentUsage(const Cedict& cedict);
    bool isModernWord(const EcdictEntry& entry) const;

private:
    std::unordered_set<std::string> glosses_;
    std::unordered_set<std::string> computingGlosses_;
};

// The comparison key of a gloss or headword: lower case, without spaces and hyphens.
std::string glossKey(std::string_view text);

// 简明英语单词: the common and the modern words with their cleaned Chinese translation, plus
// every form their exchange field names (was, been, services), with its own translation where
// ECDICT has one, else a line per form such as "be 的过去式".
std::vector<Row> conciseRows(const std::vector<EcdictEntry>& entries, const Cedict& cedict);

// 汉语单词: one row per simplified headword with a line per reading (the traditional form when it
// differs, [pinyin], senses joined by "; ", classifiers), then one row per traditional headword
// that differs from its simplified one, so a word typed in traditional characters is found.
std::vector<Row> chineseRows(const Cedict& cedict, const WordCounts& counts);

}  // namespace moshitong::builder
