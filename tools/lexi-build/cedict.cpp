#include "tools/lexi-build/cedict.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "tools/lexi-build/input_error.h"

namespace moshitong::builder {

namespace {

using Json = nlohmann::json;

constexpr std::string_view kModulePrefix = "export default";

// The JSON inside the module: after an optional "export default", up to an optional ";".
std::string_view jsonPart(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t start = 0;
    while (start < text.size() && isSpace(text[start])) {
        ++start;
    }
    if (text.substr(start).starts_with(kModulePrefix)) {
        start += kModulePrefix.size();
    }
    std::size_t end = text.size();
    while (end > start && isSpace(text[end - 1])) {
        --end;
    }
    if (end > start && text[end - 1] == ';') {
        --end;
    }
    return text.substr(start, end - start);
}

std::string position(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    const std::string_view before = text.substr(0, offset);
    const auto line = static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')) + 1;
    const std::size_t lineStart = before.rfind('\n');
    const std::size_t column =
        lineStart == std::string_view::npos ? offset + 1 : offset - lineStart;
    return lineLabel(line) + ", column " + std::to_string(column);
}

// nlohmann's own text starts with an identifier in brackets and the position; what follows the
// position says what was wrong.
std::string parseProblem(const Json::parse_error& error) {
    const std::string what = error.what();
    const std::size_t position = what.find("parse error");
    const std::size_t colon = position == std::string::npos ? position : what.find(": ", position);
    return colon == std::string::npos ? what : what.substr(colon + 2);
}

Json parseJson(std::string_view text, const std::filesystem::path& file) {
    const std::string_view json = jsonPart(text);
    try {
        return Json::parse(json.begin(), json.end());
    } catch (const Json::parse_error& error) {
        // The error's byte counts from 1 and from the start of the JSON part.
        const std::size_t offset = static_cast<std::size_t>(json.data() - text.data()) +
                                   (error.byte > 0 ? error.byte - 1 : 0);
        throw InputError(file, position(text, offset), "not valid JSON: " + parseProblem(error));
    } catch (const Json::out_of_range& error) {
        // A number too large for a double carries no position; the number itself is quoted.
        const std::string what = error.what();
        const std::size_t bracket = what.find("] ");
        throw InputError(
            file, "",
            "not valid JSON: " + (bracket == std::string::npos ? what : what.substr(bracket + 2)));
    }
}

class ShapeChecker {
public:
    explicit ShapeChecker(const std::filesystem::path& file) : file_(file) {}

    [[noreturn]] void fail(const std::string& where, const std::string& problem) const {
        throw InputError(file_, where, problem);
    }

    const std::string& text(const Json& item, const std::string& where,
                            std::string_view what) const {
        if (!item.is_string()) {
            fail(where, std::string(what) + " must be a string");
        }
        return item.get_ref<const std::string&>();
    }

    std::vector<std::size_t> indices(const Json& item, const std::string& where,
                                     std::string_view what, std::size_t limit) const {
        if (!item.is_array()) {
            fail(where, std::string(what) + " must be a list of numbers");
        }
        std::vector<std::size_t> out;
        for (const Json& index : item) {
            if (!index.is_number_unsigned() || index.get<std::size_t>() >= limit) {
                fail(where, std::string(what) + " holds " + index.dump() +
                                ", which is not an index "
                                "below " +
                                std::to_string(limit));
            }
            out.push_back(index.get<std::size_t>());
        }
        return out;
    }

    const Json& list(const Json& root, const char* key, bool required) const {
        static const Json kEmpty = Json::array();
        const auto found = root.find(key);
        if (found == root.end()) {
            if (required) {
                fail("", std::string("the object has no list \"") + key + "\"");
            }
            return kEmpty;
        }
        if (!found->is_array()) {
            fail("\"" + std::string(key) + "\"", "must be a list");
        }
        return *found;
    }

private:
    const std::filesystem::path& file_;
};

std::string entryLabel(const char* list, std::size_t index) {
    return "\"" + std::string(list) + "\"[" + std::to_string(index) + "]";
}

std::vector<CedictWord> readWords(const Json& list, const char* name, const ShapeChecker& check) {
    std::vector<CedictWord> words;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string where = entryLabel(name, i);
        const Json& item = list[i];
        if (!item.is_array() || item.size() < 3) {
            check.fail(where, "must be a list of traditional, simplified and pinyin");
        }
        words.push_back({check.text(item[0], where, "the traditional form"),
                         check.text(item[1], where, "the simplified form"),
                         check.text(item[2], where, "the pinyin")});
    }
    return words;
}

std::vector<std::string> readSenses(const Json& item, const std::string& where,
                                    const ShapeChecker& check) {
    if (item.is_string()) {
        return {item.get<std::string>()};
    }
    if (!item.is_array()) {
        check.fail(where, "item 3 (the senses) must be a string or a list of strings");
    }
    std::vector<std::string> senses;
    for (const Json& sense : item) {
        senses.push_back(check.text(sense, where, "each sense"));
    }
    return senses;
}

CedictEntry readEntry(const Json& item, const std::string& where, const ShapeChecker& check,
                      std::size_t variantCount, std::size_t classifierCount) {
    if (!item.is_array() || item.size() < 4) {
        check.fail(where, "must be a list of traditional, simplified, pinyin and senses");
    }
    CedictEntry entry;
    entry.traditional = check.text(item[0], where, "item 0 (the traditional form)");
    entry.simplified = check.text(item[1], where, "item 1 (the simplified form)");
    entry.pinyin = check.text(item[2], where, "item 2 (the pinyin)");
    if (entry.traditional.empty() || entry.simplified.empty()) {
        check.fail(where, "has an empty headword");
    }
    entry.senses = readSenses(item[3], where, check);
    if (item.size() > 4) {
        // Variants are only checked: every variant's sense already names the word it varies.
        check.indices(item[4], where, "item 4 (the variants)", variantCount);
    }
    if (item.size() > 5) {
        entry.classifiers =
            check.indices(item[5], where, "item 5 (the classifiers)", classifierCount);
    }
    return entry;
}

}  // namespace

Cedict parseCedict(std::string_view text, const std::filesystem::path& file) {
    const Json root = parseJson(text, file);
    const ShapeChecker check(file);
    if (!root.is_object()) {
        check.fail("", "the JSON must be an object with the list \"all\"");
    }
    Cedict cedict;
    const Json& variants = check.list(root, "variantLookup", false);
    readWords(variants, "variantLookup", check);
    cedict.classifiers =
        readWords(check.list(root, "classifierLookup", false), "classifierLookup", check);
    const Json& all = check.list(root, "all", true);
    cedict.entries.reserve(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        cedict.entries.push_back(readEntry(all[i], entryLabel("all", i), check, variants.size(),
                                           cedict.classifiers.size()));
    }
    return cedict;
}

Cedict readCedict(const std::filesystem::path& file) {
    return parseCedict(readWholeFile(file), file);
}

}  // namespace moshitong::builder
