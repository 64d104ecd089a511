#pragma once
// Splitting and joining text, and the tidying of ECDICT's text fields. ECDICT keeps line breaks as
// the two characters backslash-n, and its translations, gathered from many dictionaries, also carry
// CR LF pairs, HTML line breaks, HTML entities, tabs and stray spaces. The store's explanations are
// plain lines joined by CR LF, the input box's own line break, so the listing shows them as lines.

#include <string>
#include <string_view>
#include <vector>

namespace moshitong::builder {

inline constexpr std::string_view kLineBreak = "\r\n";

// Turns \n, \r, \t and \\ into the characters they stand for; any other backslash stays.
std::string unescapeBackslashes(std::string_view text);

// Decodes named entities of HTML (&amp;, &beta;, …) and numeric ones (&#946;, &#x3B2;). An
// unknown or malformed entity stays as it is.
std::string decodeEntities(std::string_view text);

// The non-empty lines of a raw field, each trimmed, after undoing the escapes above and turning
// <br>, <br/> and <br /> into line breaks.
std::vector<std::string> cleanLines(std::string_view raw);

// Old dictionary text (Webster's, in ECDICT's English definitions) is hard-wrapped at some 70
// columns. A line that stops mid-sentence and is followed by one that does not start a new item
// (a part of speech such as "n." or "v", an example "> ", a numbered sense) is joined to it.
std::vector<std::string> joinWrappedLines(std::vector<std::string> lines);

// The pieces of `text` between any of the `delimiters`, empty ones included: n delimiters make
// n + 1 pieces.
std::vector<std::string_view> split(std::string_view text, std::string_view delimiters);

// The items with `separator` between them; none goes before the first non-empty item.
std::string join(const std::vector<std::string>& items, std::string_view separator);

// cleanLines joined by CR LF; empty when the field holds nothing but breaks and spaces.
std::string cleanText(std::string_view raw);

// A phonetic transcription in IPA symbols. ECDICT's transcriptions come from several older
// dictionaries that used look-alike letters (Cyrillic ә and є, Greek ε, ASCII g, ' and :) and
// one font's private codes (^ for ɡ, \ for ɜ, a leading . for ˌ); these become the IPA characters
// they stand for.
std::string normalisePhonetic(std::string_view raw);

}  // namespace moshitong::builder
