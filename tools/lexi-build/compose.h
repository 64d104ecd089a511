#pragma once
// What goes into the three tables, in the order a listing shows it. Lookups never sort, so the
// order rows are returned in here is the order users see.
//
// English rows go by their better frequency rank (ranks unknown last), then by length, then
// alphabetically; so a fuzzy "app" lists happen, appear, apply before rarer words. Chinese rows
// go by jieba's count, then by length; the traditional headwords come after every simplified one.

#include <string>
#include <string_view>
#include <unordered_map>
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

// ECDICT's frequency ranks come from corpora older than the web, so words that came into
// everyday use since (login, selfie, wifi, xml, barista) have none. Such a word joins the concise
// table when the two dictionaries vouch for it in the same sense: CC-CEDICT, which is kept up to
// date, glosses a Chinese word with it, and ECDICT's own translation contains that Chinese word
// or, for a word in lower case, one of the two files it under computing.
//  - A gloss is a whole part of a sense ("登录: to log in", "主页: home page"), compared without
//    case, spaces or hyphens, or an acronym in brackets after one ("extensible markup language
//    (XML)"). Run together, a gloss of several words counts only in computing, where login and
//    homepage are written so; elsewhere ECDICT's run-together rows (powerstation) are slips. A
//    capitalised gloss names someone or something (Google, Paris) and counts only for a word ECDICT
//    calls an abbreviation ("Wi-Fi" for wifi).
//  - The Chinese word may differ from ECDICT's by one character when it has four or more, as
//    mainland and Taiwanese usage do (传输控制协议, 传输控制协定).
//  - An abbreviation ECDICT explains in another sense (pdf as a probability function, where
//    CC-CEDICT means the file) has no Chinese word in common, so it stays out.
//  - Words ECDICT describes as a company or brand, and adult vocabulary, stay out.
//  - The word is short and plain: 2 to 12 lower-case letters and digits, or an acronym of 2 to 4
//    capitals and digits.
class CurrentUsage {
public:
    explicit CurrentUsage(const Cedict& cedict);
    bool isModernWord(const EcdictEntry& entry) const;

private:
    enum class GlossKind { Common, Acronym, Name };
    struct Use {
        std::string chinese;  // the simplified headword the gloss belongs to
        GlossKind kind;
        bool computing;  // the sense speaks of computing or the Internet
        bool adult;
        bool spaced;  // "home page", matched by homepage
    };
    std::unordered_map<std::string, std::vector<Use>> uses_;  // by glossKey
};

// The comparison key of a gloss or headword: lower case, without spaces and hyphens.
std::string glossKey(std::string_view text);

// 简明英语单词: the common and the modern words with their cleaned Chinese translation, the
// everyday informal words, and their forms, each with its own translation where ECDICT has one,
// else a line per form such as "be 的过去式".
//
// The rule: an ECDICT row joins when it is a form of a concise word, named so by either row's
// exchange field or spelled by English's regular rules (-s, -es, -ies, -ed, -d, -ing, -er, -est,
// a doubled consonant) with a translation of its own, or when its translation labels it
// colloquial or spells it out as a contraction of concise words; brands, names, abbreviations,
// vulgar words and slips of spelling stay out.
//
// A form is reached four ways:
//  - named in the exchange field of a chosen word (was, been, services); a chosen word that is
//    itself a form (become is "0:become/1:d", meeting "0:meet/1:i") names only forms that have
//    rows of their own;
//  - an ECDICT row whose own exchange field names a chosen word as its lemma (were: "0:be/1:p");
//  - a row with no lemma in its exchange field whose translation names it a form of a chosen
//    word ("数千（thousand的复数）"), when it is spelled as a regular form of that word or is the
//    old participle in -en (gotten);
//  - a row with a translation of its own, spelled as a regular form of a chosen word that allows
//    that kind of form (hundreds, shots, weirdest): a plural of a noun, a past of a verb, a
//    comparative of an adjective, only a plural of an abbreviation (dvds).
// A word that is only a plural of another (children) lends no forms, and one that is only a past
// or past participle (gone) lends those of a sense of its own (shots, of the noun shot), so
// ECDICT's doubtful forms of forms (childrens, gones) stay out. A form is written in lower case
// exactly when its lemma is: ECDICT's capitalised rows are names and acronyms (Logos, ADS), not
// forms of logo and ad. Rows spelled by a rule English breaks (bellys, writed where write's row
// says wrote, babysiting where babysit's says babysitting) stay out too.
//
// Informal words (gonna, outta, lemme, snuck, yeah) join by the labels of ECDICT's translation:
// colloquial (<口>, [口语], (非正式)) always, slang and dialect (<俚>, <方>) when a corpus ranks
// the word; or as a contraction of two or three concise words that begins with their first letters
// and ends in the vowel of an unstressed to, of, me or you.
std::vector<Row> conciseRows(const std::vector<EcdictEntry>& entries, const Cedict& cedict);

// 汉语单词: one row per simplified headword with a line per reading (the traditional form when it
// differs, [pinyin], senses joined by "; ", classifiers), then one row per traditional headword
// that differs from its simplified one, so a word typed in traditional characters is found.
std::vector<Row> chineseRows(const Cedict& cedict, const WordCounts& counts);

}  // namespace moshitong::builder
