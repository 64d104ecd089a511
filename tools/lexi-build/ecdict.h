#pragma once
// ECDICT's table of English words (ecdict.csv): one row per headword with its phonetic
// transcription, English definition, Chinese translation, frequency ranks, exam tags and
// inflections. Fields keep ECDICT's own spelling here; cleaning happens when rows are composed.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace moshitong::builder {

struct EcdictEntry {
    std::string word;
    std::string phonetic;
    std::string definition;   // English, lines separated by backslash-n
    std::string translation;  // Chinese, likewise
    std::string tag;          // exam lists, space separated: "zk gk cet4"
    std::string exchange;     // inflections: "p:went/d:gone/i:going/3:goes"
    int collins = 0;          // Collins stars, 0 to 5
    bool oxford = false;      // in the Oxford 3000
    long bnc = 0;             // frequency ranks in the BNC and in COCA; 0 when unknown
    long frq = 0;
    std::size_t line = 0;  // where the row starts in the file

    // The better of the two ranks, 0 when neither is known.
    long bestRank() const;
};

// One pair of the exchange field: the kind letter and the word. Kinds: p past tense, d past
// participle, i present participle, 3 third person singular, s plural, r comparative,
// t superlative; 0 names this word's lemma and 1 the kinds of form this word is of it.
struct Inflection {
    char kind;
    std::string value;
};

std::vector<Inflection> parseExchange(std::string_view exchange);

// The Chinese name of an inflection kind ("过去式"), empty for kinds that are not a form.
std::string_view inflectionName(char kind);

// Parses the CSV text of ECDICT. Columns are found by the names in the header row, so extra
// columns or another order do no harm; a missing column, a row with the wrong number of fields,
// a number that is not a number or malformed CSV throws InputError naming `file` and the line.
std::vector<EcdictEntry> parseEcdict(std::string_view text, const std::filesystem::path& file);

std::vector<EcdictEntry> readEcdict(const std::filesystem::path& file);

}  // namespace moshitong::builder
