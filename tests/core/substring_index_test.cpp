#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>

#include "core/sqlite_handles.h"
#include "core/substring_index.h"
#include "core/text.h"
#include "tests/support/temp_store.h"
#include "tools/lexi-build/gram_writer.h"

namespace moshitong {
namespace {

using testing::TempRow;

// Characters chosen to collide often: a few letters in both cases, wildcards typed as data,
// Chinese, a character outside the BMP and a space.
constexpr std::u16string_view kAlphabet = u"aAbBeEzZ%_ 苹果中国é\U0001F34E";

std::u16string randomText(std::mt19937& random, std::size_t minLength, std::size_t maxLength) {
    // The character outside the BMP is the last two code units of the alphabet.
    const std::size_t symbols = kAlphabet.size() - 1;
    std::uniform_int_distribution<std::size_t> length(minLength, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, symbols - 1);
    std::u16string out;
    for (std::size_t i = length(random); i > 0; --i) {
        const std::size_t k = pick(random);
        out += k == symbols - 1 ? kAlphabet.substr(k, 2) : kAlphabet.substr(k, 1);
    }
    return out;
}

class SubstringIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::mt19937 random(20261208);
        std::vector<TempRow> rows;
        for (const Table table : {Table::Concise, Table::English, Table::Chinese}) {
            for (int i = 0; i < 600; ++i) {
                const bool null = i % 97 == 13;
                rows.push_back(
                    {table, null ? std::nullopt : std::optional(randomText(random, 0, 9)),
                     i % 89 == 7 ? std::nullopt : std::optional(randomText(random, 0, 14))});
            }
        }
        store.emplace(rows);
        for (const TempRow& row : rows) {
            if (row.word && row.word->size() > 1) {
                pieces.push_back(*row.word);
            }
            if (row.explanation && row.explanation->size() > 1) {
                pieces.push_back(*row.explanation);
            }
        }
        {
            const testing::Database db =
                testing::openDatabase(store->path(), SQLITE_OPEN_READWRITE);
            for (const IndexedColumn& searched : kIndexedColumns) {
                builder::writeGramIndex(db.get(), searched);
            }
        }
        OpenDictionary(indexed, store->path());
        OpenDictionary(plain, store->path());
        plain.setSubstringIndexEnabled(false);
    }

    static std::vector<StoreRow> rowsOf(Connection& Conn, const Statement& statement) {
        SqliteRecordset Rs;
        Rs.Open(statement, Conn);
        std::vector<StoreRow> out;
        for (long i = 0, n = Rs.RecordCount(); i < n; ++i) {
            out.push_back({Rs.Field(u"单词"), Rs.Field(u"解释")});
            Rs.MoveNext();
        }
        Rs.Close();
        return out;
    }

    std::optional<testing::TestStore> store;
    std::vector<std::u16string> pieces;
    Connection indexed;
    Connection plain;
};

bool sameRows(const std::vector<StoreRow>& a, const std::vector<StoreRow>& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const StoreRow& x, const StoreRow& y) {
               return x.word == y.word && x.explanation == y.explanation;
           });
}

TEST_F(SubstringIndexTest, GivesThePlainStatementsRowsInTheSameOrder) {
    ASSERT_NE(indexed.substringIndex(Table::English, Column::Word), nullptr);
    ASSERT_EQ(plain.substringIndex(Table::English, Column::Word), nullptr);
    std::mt19937 random(7);
    int nonEmpty = 0;
    for (int i = 0; i < 400; ++i) {
        // Half the patterns are pieces of stored values, some with one character changed into a
        // wildcard or another letter, so near misses are common.
        std::u16string pattern = randomText(random, 1, 6);
        if (i % 2 == 0) {
            const auto& source = pieces[random() % pieces.size()];
            const std::size_t start = random() % source.size();
            pattern = source.substr(start, 1 + random() % 6);
            if (i % 3 == 0) {
                pattern[random() % pattern.size()] = kAlphabet[random() % 8 + (i % 4 == 0 ? 8 : 0)];
            }
        }
        for (const IndexedColumn& searched : kIndexedColumns) {
            const Statement statement{searched.table, searched.column, Match::Substring, pattern};
            const auto expected = rowsOf(plain, statement);
            ASSERT_TRUE(sameRows(rowsOf(indexed, statement), expected))
                << toUtf8(statement.literal());
            nonEmpty += expected.empty() ? 0 : 1;
        }
    }
    // The comparison means little unless many patterns actually match.
    EXPECT_GT(nonEmpty, 400);
}

TEST_F(SubstringIndexTest, HandsBackTextsItCannotServe) {
    SubstringIndex* index = indexed.substringIndex(Table::English, Column::Word);
    ASSERT_NE(index, nullptr);
    EXPECT_FALSE(index->search(u"%_%").has_value());
    EXPECT_FALSE(index->search(u"").has_value());
    EXPECT_FALSE(index->search(std::u16string{u'a', char16_t{0xD800}}).has_value());
    EXPECT_FALSE(index->search(std::u16string{u'a', u'\0', u'b'}).has_value());
    EXPECT_TRUE(index->search(u"苹果%中").has_value());
    // Every gram common: the plain scan is cheaper than checking most rows one by one.
    EXPECT_FALSE(index->search(u"a%b").has_value());
    EXPECT_EQ(indexed.substringIndex(Table::English, Column::Explanation), nullptr);
}

TEST_F(SubstringIndexTest, CapsAtTheListingLimitLikeThePlainStatement) {
    for (const std::u16string_view pattern : {u"a", u"A", u"e_", u"苹"}) {
        const Statement statement{Table::English, Column::Word, Match::Substring,
                                  std::u16string(pattern)};
        const auto rows = rowsOf(indexed, statement);
        EXPECT_EQ(rows.size(), static_cast<std::size_t>(kRowCap)) << toUtf8(pattern);
        EXPECT_TRUE(sameRows(rows, rowsOf(plain, statement))) << toUtf8(pattern);
    }
}

// A posting list holds rowids only the builder writes; any other bytes are a damaged store,
// reported with the store's own number for it, never decoded into rows that were never written.
TEST_F(SubstringIndexTest, ReportsADamagedPostingListAsACorruptStore) {
    const auto bytes = [](std::initializer_list<unsigned char> values) {
        return std::string(values.begin(), values.end());
    };
    const std::pair<std::string_view, std::string> damaged[] = {
        {"a number cut short", bytes({0x05, 0x81})},
        {"a number longer than any rowid takes", bytes({0x80, 0x80, 0x80, 0x80, 0x80, 0x01})},
        {"a number past the largest rowid", bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x7F})},
        {"a rowid twice", bytes({0x05, 0x00})},
        {"no rowid at all", ""},
    };
    const auto file = store->path();
    for (const auto& [what, chunk] : damaged) {
        {
            const auto db = sqlite::open(file, SQLITE_OPEN_READWRITE);
            const auto update = sqlite::prepare(db.get(), "UPDATE gram_english_word SET rows = ?1");
            sqlite::bindBlob(update.get(), 1, chunk);
            sqlite::step(update.get());
        }
        Connection Conn;
        OpenDictionary(Conn, file);
        try {
            rowsOf(Conn, Statement{Table::English, Column::Word, Match::Substring, u"a"});
            ADD_FAILURE() << "no error for " << what;
        } catch (const StoreError& error) {
            EXPECT_EQ(error.number(), SQLITE_CORRUPT) << what << ": " << error.what();
        }
    }
}

}  // namespace
}  // namespace moshitong
