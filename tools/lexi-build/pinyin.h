#pragma once
// CC-CEDICT writes pinyin with tone numbers ("ping2 guo3", "nu:3", "zhe4 ge5"); readers expect
// tone marks ("píng guǒ", "nǚ", "zhè ge").

#include <optional>
#include <string>
#include <string_view>

namespace moshitong::builder {

// One syllable with its tone number (1-4, or 5 for the neutral tone) in tone-mark spelling:
// "u:" becomes ü, the mark goes on a or e, else on the o of "ou", else on the last vowel, and a
// syllable without vowels (m2, ng2, hm4) carries it on its m or n. Case is kept ("Ou1" → "Ōu").
// nullopt for anything that is not such a syllable ("3C", "xx", ",").
std::optional<std::string> markSyllable(std::string_view numbered);

// A space-separated reading: every syllable with a tone number is marked, other tokens (letters
// in "san1 C", punctuation) stay as they are.
std::string toneMarks(std::string_view reading);

// Marks the readings in a sense's cross-references, "variant of 眾|众[zhong4]" → "…[zhòng]".
// Brackets that hold anything other than a reading stay untouched.
std::string markCrossReferences(std::string_view sense);

}  // namespace moshitong::builder
