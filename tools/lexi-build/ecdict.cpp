#include "tools/lexi-build/ecdict.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

#include "tools/lexi-build/clean.h"
#include "tools/lexi-build/csv.h"
#include "tools/lexi-build/input_error.h"

namespace moshitong::builder {

namespace {

enum Column : std::size_t {
    Word,
    Phonetic,
    Definition,
    Translation,
    Collins,
    Oxford,
    Tag,
    Bnc,
    Frq,
    Exchange,
    ColumnCount
};

constexpr std::array<std::string_view, ColumnCount> kColumnNames = {
    "word",   "phonetic", "definition", "translation", "collins",
    "oxford", "tag",      "bnc",        "frq",         "exchange"};

using ColumnMap = std::array<std::size_t, ColumnCount>;

ColumnMap mapColumns(const std::vector<std::string>& header, const std::filesystem::path& file) {
    ColumnMap map{};
    for (std::size_t column = 0; column < ColumnCount; ++column) {
        const auto found = std::find(header.begin(), header.end(), kColumnNames[column]);
        if (found == header.end()) {
            throw InputError(
                file, lineLabel(1),
                "the header has no column \"" + std::string(kColumnNames[column]) + "\"");
        }
        map[column] = static_cast<std::size_t>(found - header.begin());
    }
    return map;
}

long number(const std::string& field, std::string_view column, const std::filesystem::path& file,
            std::size_t line) {
    if (field.empty()) {
        return 0;
    }
    long value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc{} || end != field.data() + field.size() || value < 0) {
        throw InputError(
            file, lineLabel(line),
            "column " + std::string(column) + " holds \"" + field + "\", not a whole number");
    }
    return value;
}

EcdictEntry makeEntry(std::vector<std::string>& fields, const ColumnMap& map,
                      const std::filesystem::path& file, std::size_t line) {
    const auto take = [&](Column column) { return std::move(fields[map[column]]); };
    const auto count = [&](Column column) {
        return number(fields[map[column]], kColumnNames[column], file, line);
    };
    EcdictEntry entry;
    entry.collins = static_cast<int>(std::min(count(Collins), 5L));
    entry.oxford = count(Oxford) > 0;
    entry.bnc = count(Bnc);
    entry.frq = count(Frq);
    entry.word = take(Word);
    entry.phonetic = take(Phonetic);
    entry.definition = take(Definition);
    entry.translation = take(Translation);
    entry.tag = take(Tag);
    entry.exchange = take(Exchange);
    entry.line = line;
    return entry;
}

}  // namespace

long EcdictEntry::bestRank() const {
    if (bnc > 0 && frq > 0) {
        return std::min(bnc, frq);
    }
    return std::max(bnc, frq);
}

std::vector<Inflection> parseExchange(std::string_view exchange) {
    std::vector<Inflection> pairs;
    for (const std::string_view pair : split(exchange, "/")) {
        if (pair.size() > 2 && pair[1] == ':') {
            pairs.push_back({pair[0], std::string(pair.substr(2))});
        }
    }
    return pairs;
}

std::string_view inflectionName(char kind) {
    switch (kind) {
        case 's':
            return "复数";
        case 'p':
            return "过去式";
        case 'd':
            return "过去分词";
        case 'i':
            return "现在分词";
        case '3':
            return "第三人称单数";
        case 'r':
            return "比较级";
        case 't':
            return "最高级";
        default:
            return {};
    }
}

std::vector<EcdictEntry> parseEcdict(std::string_view text, const std::filesystem::path& file) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::vector<EcdictEntry> entries;
    try {
        CsvReader reader(text);
        std::vector<std::string> fields;
        if (!reader.next(fields)) {
            throw InputError(file, "", "the file is empty");
        }
        const std::size_t width = fields.size();
        const ColumnMap map = mapColumns(fields, file);
        while (reader.next(fields)) {
            if (fields.size() != width) {
                throw InputError(file, lineLabel(reader.rowLine()),
                                 "expected " + std::to_string(width) + " fields, found " +
                                     std::to_string(fields.size()));
            }
            entries.push_back(makeEntry(fields, map, file, reader.rowLine()));
        }
    } catch (const CsvError& error) {
        throw InputError(file, lineLabel(error.line()),
                         std::string("malformed CSV: ") + error.what());
    }
    return entries;
}

std::vector<EcdictEntry> readEcdict(const std::filesystem::path& file) {
    return parseEcdict(readWholeFile(file), file);
}

}  // namespace moshitong::builder
