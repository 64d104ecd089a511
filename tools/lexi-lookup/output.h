#pragma once
// What lexi-lookup reads and writes: queries line by line from a stream, results as plain text
// or as JSON. Everything written is UTF-8.

#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "tools/lexi-lookup/cycle.h"

namespace moshitong::lexi_lookup {

// A JSON string literal, quotes included. Every control character is escaped (C0, DEL and C1,
// plus U+2028 and U+2029, which some JSON readers take for line ends); a lone surrogate becomes
// U+FFFD, so the result is always valid UTF-8.
std::string jsonString(std::u16string_view text);

// The box text with each CR LF written as LF, then a blank line.
std::string formatPlain(const QueryResult& result);
// One line: {"query":…,"direction":…,"text":…,"entries":[{"word":…,"explanation":…}],"found":…}
// The text keeps its CR LF; a Null field is null.
std::string formatJson(const QueryResult& result);
// The decided direction alone, or {"query":…,"direction":…} as JSON.
std::string formatDirection(std::u16string_view query, int direction, bool json);
// One line for standard error.
std::string formatStoreReport(const StoreReport& report);

// Queries from a stream, one per line. Bytes that are not UTF-8 become U+FFFD instead of ending
// the run, the CR of a CR LF line end is dropped, and so is a byte order mark before the first.
class QueryReader {
public:
    explicit QueryReader(std::istream& in) : in_(in) {}
    std::optional<std::u16string> next();

private:
    std::istream& in_;
    bool first_ = true;
};

}  // namespace moshitong::lexi_lookup
