#include "tools/lexi-lookup/output.h"

#include <array>

#include "core/text.h"

namespace moshitong::lexi_lookup {

namespace {

bool needsUnicodeEscape(char16_t unit) {
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || unit == 0x2028 || unit == 0x2029;
}

void appendUnicodeEscape(std::string& out, char16_t unit) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) {
        out += kHex[(unit >> shift) & 0xF];
    }
}

std::optional<std::string_view> shortEscape(char16_t unit) {
    switch (unit) {
        case u'"':
            return "\\\"";
        case u'\\':
            return "\\\\";
        case u'\b':
            return "\\b";
        case u'\f':
            return "\\f";
        case u'\n':
            return "\\n";
        case u'\r':
            return "\\r";
        case u'\t':
            return "\\t";
        default:
            return std::nullopt;
    }
}

std::string jsonField(std::string_view name, const std::string& value) {
    std::string field;
    field.reserve(name.size() + value.size() + 3);
    field.append(1, '"').append(name).append("\":").append(value);
    return field;
}

std::string jsonOptional(const std::optional<std::u16string>& value) {
    return value ? jsonString(*value) : "null";
}

}  // namespace

std::string jsonString(std::u16string_view text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (std::size_t at = 0; at < text.size();) {
        const char16_t unit = text[at];
        if (const auto escape = shortEscape(unit)) {
            out += *escape;
            ++at;
        } else if (needsUnicodeEscape(unit)) {
            appendUnicodeEscape(out, unit);
            ++at;
        } else {
            // A lone surrogate comes out as U+FFFD here.
            appendUtf8(out, decodeUtf16(text, at).value_or(kReplacementCharacter));
        }
    }
    out += '"';
    return out;
}

std::string formatPlain(const QueryResult& result) {
    return toUtf8(replaceCrLfPairs(result.text, u"\n")) + "\n\n";
}

std::string formatJson(const QueryResult& result) {
    std::string entries = "[";
    for (const ListedEntry& entry : result.entries) {
        entries += entries.size() > 1 ? "," : "";
        entries += "{" + jsonField("word", jsonOptional(entry.word)) + "," +
                   jsonField("explanation", jsonOptional(entry.explanation)) + "}";
    }
    entries += "]";
    return "{" + jsonField("query", jsonString(result.query)) + "," +
           jsonField("direction", std::to_string(result.direction)) + "," +
           jsonField("text", jsonString(result.text)) + "," + jsonField("entries", entries) + "," +
           jsonField("found", result.found() ? "true" : "false") + "}\n";
}

std::string formatDirection(std::u16string_view query, int direction, bool json) {
    if (!json) {
        return std::to_string(direction) + "\n";
    }
    return "{" + jsonField("query", jsonString(query)) + "," +
           jsonField("direction", std::to_string(direction)) + "}\n";
}

std::string formatStoreReport(const StoreReport& report) {
    std::string out = "lexi-lookup: store error " + std::to_string(report.error.number()) + ": " +
                      report.error.description();
    if (report.statement) {
        out += " (in: " + toUtf8(report.statement->literal()) + ")";
    }
    return out + "\n";
}

std::optional<std::u16string> QueryReader::next() {
    std::string line;
    if (!std::getline(in_, line)) {
        return std::nullopt;
    }
    const bool endedByLineFeed = !in_.eof();
    if (endedByLineFeed && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (first_) {
        first_ = false;
        constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
        if (line.starts_with(kByteOrderMark)) {
            line.erase(0, kByteOrderMark.size());
        }
    }
    return fromUtf8(line);
}

}  // namespace moshitong::lexi_lookup
