#include <gtest/gtest.h>
#include <sqlite3.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/like.h"
#include "core/sqlite_handles.h"
#include "tests/support/temp_store.h"

namespace moshitong {
namespace {

// SQLite's built-in LIKE on a connection of its own, as the reference the store's LIKE must agree
// with wherever the built-in answers.
class BuiltInLike {
public:
    // nullopt when the built-in refuses the pattern.
    std::optional<bool> operator()(std::string_view value, std::string_view pattern) {
        sqlite3_stmt* s = statement_.get();
        sqlite3_reset(s);
        sqlite3_bind_text(s, 1, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, pattern.data(), static_cast<int>(pattern.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(s) != SQLITE_ROW) {
            return std::nullopt;
        }
        return sqlite3_column_int(s, 0) != 0;
    }

private:
    testing::Database db_ =
        testing::openDatabase(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite::StatementHandle statement_ = sqlite::prepare(db_.get(), "SELECT ?1 LIKE ?2");
};

bool like(std::string_view value, std::string_view pattern) {
    return LikePattern(pattern).matches(value);
}

TEST(StoreLike, MeansWhatLikeMeans) {
    const struct {
        std::string_view value;
        std::string_view pattern;
        bool matches;
    } cases[] = {
        {"apple", "%PPL%", true},
        {"Apple", "apple", true},
        {"apple", "app", false},
        {"a_b", "a_b", true},
        {"axb", "a_b", true},
        {"ab", "a_b", false},
        {"100%", "%0\\%", false},  // no escape character: the backslash is literal
        {"a\\b", "a\\b", true},
        {"", "%", true},
        {"", "", true},
        {"x", "", false},
        {"ab", "%_%_%_%", false},
        {"abc", "%_%_%_%", true},
        {"aab", "a%ab", true},
        {"ab", "a%ab", false},  // the anchored pieces may not overlap
        {"abab", "%ab%ab", true},
        {"abxab", "ab%ab", true},
        {"abcab", "%b%ab", true},
        {"abc", "%%%%c", true},
        {"苹果", "_果", true},
        {"苹果", "_", false},
        {"\xF0\x9F\x8D\x8E!", "_!", true},  // a character outside the BMP is one character
        {"\xC3\x89", "\xC3\xA9", false},    // É and é: only ASCII letters ignore case
        // Where bytes and characters part: SQLite reads a lead byte with any run of continuation
        // bytes as one character, and U+FFFE as U+FFFD.
        {"\xC3\xA9\xA9", "%\xC3\xA9%", false},
        {"\xEF\xBF\xBE", "\xEF\xBF\xBD", true},
        {"\xE0\x80x", "_x", true},
        {"\xE0\x80x", "%x", true},
        {"don't", "%'%", true},
        {"'; drop table x; --", "%drop%", true},
    };
    BuiltInLike builtIn;
    for (const auto& c : cases) {
        EXPECT_EQ(like(c.value, c.pattern), c.matches) << c.value << " LIKE " << c.pattern;
        EXPECT_EQ(builtIn(c.value, c.pattern), c.matches) << c.value << " LIKE " << c.pattern;
    }
}

// Random values and patterns over an alphabet rich in what LIKE treats specially: wildcards,
// letters of both cases, multi-byte characters and malformed bytes (but no NUL, at which the
// built-in stops reading).
std::vector<std::string_view> randomPieces(std::mt19937& random, std::size_t maxLength) {
    static const std::string_view pieces[] = {
        "a",
        "A",
        "b",
        "B",
        "%",
        "_",
        "\\",
        "'",
        "z",
        "\xC3\xA9",
        "\xC3\x89",
        "\xE4\xB8\xAD",
        "\xF0\x9F\x8D\x8E",
        "\x80",
        "\xC3",
        "\xE4\xB8",
        "\xFF",
        "\xED\xA0\x80",
        "\xEF\xBF\xBE",
        "\xF8\x88\x80\x80\x80",
    };
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::vector<std::string_view> out(length(random));
    for (auto& piece : out) {
        piece = pieces[pick(random)];
    }
    return out;
}

// Half the patterns are the value itself with some pieces turned into wildcards or dropped, so
// that matches are as common as misses.
std::string patternFor(std::mt19937& random, const std::vector<std::string_view>& value) {
    std::uniform_int_distribution<int> coin(0, 5);
    std::string pattern;
    for (const std::string_view piece : value) {
        const int choice = coin(random);
        pattern += choice == 0 ? "_" : choice == 1 ? "%" : choice == 2 ? "" : std::string(piece);
    }
    return pattern;
}

std::string joined(const std::vector<std::string_view>& pieces) {
    std::string out;
    for (const std::string_view piece : pieces) {
        out += piece;
    }
    return out;
}

TEST(StoreLike, AgreesWithSqlitesOwnLikeOnRandomText) {
    BuiltInLike builtIn;
    std::mt19937 random(20240607);
    int matched = 0;
    for (int i = 0; i < 30000; ++i) {
        const auto valuePieces = randomPieces(random, 8);
        const std::string value = joined(valuePieces);
        const std::string pattern =
            i % 2 == 0 ? patternFor(random, valuePieces) : joined(randomPieces(random, 6));
        const auto expected = builtIn(value, pattern);
        ASSERT_TRUE(expected.has_value());
        ASSERT_EQ(like(value, pattern), *expected) << "'" << value << "' LIKE '" << pattern << "'";
        matched += *expected ? 1 : 0;
    }
    // Both answers must be common, or the comparison proves little.
    EXPECT_GT(matched, 5000);
    EXPECT_LT(matched, 25000);
}

TEST(StoreLike, NulIsAnOrdinaryCharacter) {
    using std::string_literals::operator""s;
    // The built-in stops reading the pattern at the NUL and would take "%a" for "%a\0c%".
    EXPECT_FALSE(like("xa", "%a\0c%"s));
    EXPECT_TRUE(like("xa\0cy"s, "%a\0c%"s));
    EXPECT_TRUE(like("xa\0cy"s, "%a_c%"));
    EXPECT_FALSE(like("xa\0dy"s, "%a\0c%"s));
}

TEST(StoreLike, TakesPatternsFarBeyondTheBuiltInLimit) {
    const std::string megabyte(1 << 20, 'a');
    BuiltInLike builtIn;
    EXPECT_EQ(builtIn(megabyte, "%" + megabyte + "%"), std::nullopt);

    EXPECT_TRUE(like(megabyte, "%" + megabyte + "%"));
    EXPECT_FALSE(like(megabyte.substr(1), "%" + megabyte + "%"));
    EXPECT_TRUE(like("apple", std::string(1 << 20, '%') + "pp" + std::string(1 << 20, '%')));
    EXPECT_FALSE(like("apple", std::string(1 << 20, '_')));
    EXPECT_EQ(LikePattern(std::string(1 << 20, '%') + "x_").minimumLength(), 2u);

    // Many pieces that almost match: each is found or given up in one scan.
    std::string pieces = "%";
    for (int i = 0; i < 20000; ++i) {
        pieces += "a%";
    }
    EXPECT_TRUE(like(std::string(20000, 'a'), pieces));
    EXPECT_FALSE(like(std::string(19999, 'a') + "b", pieces));
    EXPECT_FALSE(like(megabyte, pieces + "b%"));
}

TEST(StoreLike, DecodesMalformedBytesAsSqliteDoes) {
    const struct {
        std::string_view text;
        char32_t first;
        std::size_t used;
    } cases[] = {
        {"a", U'a', 1},
        {"\xE4\xB8\xAD", U'中', 3},
        {"\x80", U'\x80', 1},            // a stray continuation byte is that character
        {"\xC3(", U'\xFFFD', 1},         // a lead byte with nothing after it
        {"\xC0\x80", U'\xFFFD', 2},      // overlong
        {"\xED\xA0\x80", U'\xFFFD', 3},  // an encoded surrogate
        {"\xEF\xBF\xBF", U'\xFFFD', 3},  // a non-character
        {"\xF8\x88\x80\x80\x80", U'\x200000', 5},
    };
    for (const auto& c : cases) {
        std::size_t at = 0;
        EXPECT_EQ(readLikeCharacter(c.text, at), c.first) << c.text;
        EXPECT_EQ(at, c.used) << c.text;
    }
}

}  // namespace
}  // namespace moshitong
