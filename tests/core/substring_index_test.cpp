#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>

#include "core/column_image.h"
#include "core/sqlite_handles.h"
#include "core/substring_index.h"
#include "core/text.h"
#include "tests/support/hostile_inputs.h"
#include "tests/support/temp_store.h"
#include "tools/lexi-build/gram_writer.h"

namespace moshitong {
namespace {

using testing::TempRow;

// Characters chosen to collide often: a few letters in both cases, wildcards and a backslash
// typed as data (LIKE here has no escape character), Chinese, a character outside the BMP and a
// space.
constexpr std::u16string_view kAlphabet = u"aAbBeEzZ%_\\ 苹果中国é\U0001F34E";

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

// Texts of the kind no gram narrows: several `%` and `_` between common letters and Chinese
// characters, wildcards at either end, backslashes, now and then a NUL, a character outside the
// BMP or half of one, and a quarter of them longer than anything stored.
std::u16string wildcardText(std::mt19937& random) {
    constexpr std::u16string_view kCommon = u"aAeEb苹中\\";
    std::u16string out;
    const std::size_t length = random() % 4 == 0 ? 30 + random() % 60 : 2 + random() % 10;
    while (out.size() < length) {
        const unsigned kind = random() % 100;
        if (kind < 45) {
            out += kCommon[random() % kCommon.size()];
        } else if (kind < 75) {
            out += u'_';
        } else if (kind < 97) {
            out += u'%';
        } else if (kind < 98) {
            out += u"\U0001F34E";
        } else if (kind < 99) {
            out += u"\U0001F34E"[random() % 2];
        } else {
            out += u'\0';
        }
    }
    return out;
}

// Where each searched column's image is cut and how wide its slots are, in the order of
// kIndexedColumns: chunks smaller than a value, one-byte slots over Chinese text (whose values
// are then confirmed by the store's LIKE), and what the builder chooses.
constexpr std::array<builder::ImageLayout, kIndexedColumns.size()> kLayouts{{
    {64, 1},
    {},
    {200, 2},
    {100, 1},
}};

void writeIndexes(const std::filesystem::path& file) {
    const testing::Database db = testing::openDatabase(file, SQLITE_OPEN_READWRITE);
    for (std::size_t i = 0; i < kIndexedColumns.size(); ++i) {
        builder::writeGramIndex(db.get(), kIndexedColumns[i]);
        builder::writeColumnImage(db.get(), kIndexedColumns[i], kLayouts[i]);
    }
}

std::vector<StoreRow> rowsOf(Connection& Conn, const Statement& statement) {
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

// The lookup of `statement` on the damaged `file` stops as on a corrupt store; `what` names the
// damage.
void expectCorrupt(const std::filesystem::path& file, const Statement& statement,
                   std::string_view what) {
    Connection Conn;
    OpenDictionary(Conn, file);
    try {
        rowsOf(Conn, statement);
        ADD_FAILURE() << "no error for " << what;
    } catch (const StoreError& error) {
        EXPECT_EQ(error.number(), SQLITE_CORRUPT) << what << ": " << error.what();
    }
}

class SubstringIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::mt19937 random(20261208);
        std::vector<TempRow> rows;
        for (const Table table : {Table::Concise, Table::English, Table::Chinese}) {
            // More rows than a common letter's list may have for the index to check it, so the
            // image takes the texts made of common letters.
            for (int i = 0; i < 2000; ++i) {
                const bool null = i % 97 == 13;
                // Now and then a value longer than a block of the image's scan.
                const std::size_t longest = i % 37 == 5 ? 150 : 9;
                rows.push_back(
                    {table, null ? std::nullopt : std::optional(randomText(random, 0, longest)),
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
        writeIndexes(store->path());
        OpenDictionary(indexed, store->path());
        // This connection has every image in memory before its first search; the image tests
        // below read theirs as the searches reach them.
        for (int step = 0; step < 1000 && indexed.readAhead(); ++step) {
        }
        ASSERT_FALSE(indexed.readAhead());
        OpenDictionary(plain, store->path());
        plain.setSubstringIndexEnabled(false);
    }

    // Half are pieces of stored values, some with one character changed into a wildcard or
    // another letter, so near misses are common; a quarter random; a quarter full of wildcards.
    std::vector<std::u16string> patterns(unsigned seed, int count) const {
        std::mt19937 random(seed);
        std::vector<std::u16string> out;
        for (int i = 0; i < count; ++i) {
            std::u16string pattern = randomText(random, 1, 6);
            if (i % 4 == 1) {
                pattern = wildcardText(random);
            } else if (i % 2 == 0) {
                const auto& source = pieces[random() % pieces.size()];
                const std::size_t start = random() % source.size();
                pattern = source.substr(start, 1 + random() % (i % 8 == 0 ? 70 : 6));
                if (i % 3 == 0) {
                    pattern[random() % pattern.size()] =
                        kAlphabet[random() % 8 + (i % 4 == 0 ? 8 : 0)];
                }
            }
            out.push_back(std::move(pattern));
        }
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
    int nonEmpty = 0;
    for (const std::u16string& pattern : patterns(7, 600)) {
        for (const IndexedColumn& searched : kIndexedColumns) {
            const Statement statement{searched.table, searched.column, Match::Substring, pattern};
            const auto expected = rowsOf(plain, statement);
            ASSERT_TRUE(sameRows(rowsOf(indexed, statement), expected))
                << toUtf8(statement.literal());
            nonEmpty += expected.empty() ? 0 : 1;
        }
    }
    // The comparison means little unless many patterns actually match.
    EXPECT_GT(nonEmpty, 600);
}

// The rowids the plain statement lists, in its order.
std::vector<std::int64_t> plainRowids(sqlite3* db, const IndexedColumn& searched,
                                      std::u16string_view text) {
    const auto statement = sqlite::prepare(
        db, "SELECT rowid FROM " + tableNameUtf8(searched.table) + " WHERE " +
                columnNameUtf8(searched.column) + " LIKE '%' || ?1 || '%' ORDER BY rowid LIMIT " +
                std::to_string(kRowCap));
    sqlite::bindText(statement.get(), 1, text);
    std::vector<std::int64_t> rowids;
    while (sqlite::step(statement.get())) {
        rowids.push_back(sqlite3_column_int64(statement.get(), 0));
    }
    return rowids;
}

TEST_F(SubstringIndexTest, ColumnImageGivesThePlainStatementsRowsInTheSameOrder) {
    int nonEmpty = 0;
    int capped = 0;
    for (const IndexedColumn& searched : kIndexedColumns) {
        // Read chunk by chunk as the searches reach them.
        const auto image = ColumnImage::open(plain.handle(), searched);
        ASSERT_NE(image, nullptr);
        const auto check = sqlite::prepare(
            plain.handle(), "SELECT 1 FROM " + tableNameUtf8(searched.table) +
                                " WHERE rowid = ?1 AND " + columnNameUtf8(searched.column) +
                                " LIKE '%' || ?2 || '%'");
        // Generated texts, and what users have pasted into such boxes: NULs, lone surrogates,
        // texts of a megabyte.
        std::vector<std::u16string> texts = patterns(11, 500);
        for (const testing::Hostile& hostile : testing::hostileInputs()) {
            texts.push_back(hostile.text);
        }
        for (const std::u16string& pattern : texts) {
            const auto rowids = image->find(pattern, [&](std::int64_t rowid) {
                sqlite3_reset(check.get());
                sqlite::bindInt(check.get(), 1, rowid);
                sqlite::bindText(check.get(), 2, pattern);
                return sqlite::step(check.get());
            });
            const std::string literal = toUtf8(
                Statement{searched.table, searched.column, Match::Substring, pattern}.literal());
            if (!rowids) {
                // Only a text of nothing but `%` goes to the plain statement.
                EXPECT_EQ(pattern.find_first_not_of(u'%'), std::u16string::npos)
                    << literal.substr(0, 200);
                continue;
            }
            const auto expected = plainRowids(plain.handle(), searched, pattern);
            ASSERT_EQ(*rowids, expected) << literal.substr(0, 200);
            nonEmpty += expected.empty() ? 0 : 1;
            capped += static_cast<long>(expected.size()) == kRowCap ? 1 : 0;
        }
        sqlite3_reset(check.get());
    }
    EXPECT_GT(nonEmpty, 700);
    EXPECT_GT(capped, 100);
}

TEST_F(SubstringIndexTest, HandsBackTextsItCannotServe) {
    SubstringIndex* index = indexed.substringIndex(Table::English, Column::Word);
    ASSERT_NE(index, nullptr);
    EXPECT_FALSE(index->search(u"%%").has_value());
    EXPECT_FALSE(index->search(u"").has_value());
    EXPECT_TRUE(index->search(u"苹果%中").has_value());
    // What the grams cannot narrow, the column's image answers.
    EXPECT_TRUE(index->search(std::u16string{u'a', char16_t{0xD800}}).has_value());
    EXPECT_TRUE(index->search(u"%_%").has_value());
    EXPECT_TRUE(index->search(u"a%b").has_value());
    EXPECT_TRUE(index->search(std::u16string{u'a', u'\0', u'b'}).has_value());
    EXPECT_EQ(indexed.substringIndex(Table::English, Column::Explanation), nullptr);
}

TEST_F(SubstringIndexTest, CapsAtTheListingLimitLikeThePlainStatement) {
    for (const std::u16string_view pattern : {u"a", u"A", u"e_", u"苹", u"a%e", u"__%_", u"_b"}) {
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
        expectCorrupt(file, Statement{Table::English, Column::Word, Match::Substring, u"a"}, what);
    }
}

// Damage that leaves every byte decodable: a rowid of the list for "a" changed by one, a gram's
// row moved under another key, a value of the table changed or moved to another row. Each lookup
// then reports a corrupt store, or gives what the plain statement gives on the damaged file, never
// other rows.
TEST_F(SubstringIndexTest, DamageThatStillDecodesNeverGivesOtherRows) {
    const std::string damage[] = {
        "UPDATE gram_english_word SET rows = CAST(char((unicode(rows) | 1) - (unicode(rows) & 1)) "
        "AS BLOB) || "
        "substr(rows, 2) WHERE g = CAST('a' AS BLOB) AND chunk = 0 AND unicode(rows) < 127",
        "UPDATE gram_english_word SET g = CAST('\x01' AS BLOB) || g "
        "WHERE g = CAST('b' AS BLOB)",
        "UPDATE 英语单词 SET 单词 = 'zz' WHERE rowid IN "
        "(SELECT rowid FROM 英语单词 WHERE 单词 LIKE '%a%' LIMIT 3)",
        // A matching value moved to a row whose value did not match: the image and the lists
        // know it where it was.
        "UPDATE 英语单词 SET 单词 = (SELECT 单词 FROM 英语单词 WHERE 单词 LIKE '%ab%ba%' ORDER BY "
        "rowid LIMIT 1) WHERE rowid = (SELECT max(rowid) FROM 英语单词 WHERE 单词 NOT LIKE '%a%'); "
        "UPDATE 英语单词 SET 单词 = 'zz' WHERE rowid = "
        "(SELECT min(rowid) FROM 英语单词 WHERE 单词 LIKE '%ab%ba%')",
    };
    const auto file = store->path();
    for (const std::string& sql : damage) {
        testing::execute(testing::openDatabase(file, SQLITE_OPEN_READWRITE).get(), sql);
        Connection damaged;
        OpenDictionary(damaged, file);
        Connection damagedPlain;
        OpenDictionary(damagedPlain, file);
        damagedPlain.setSubstringIndexEnabled(false);
        for (const std::u16string_view text : {u"a", u"A", u"b", u"ab", u"a_", u"b%a", u"ab%ba"}) {
            const Statement statement{Table::English, Column::Word, Match::Substring,
                                      std::u16string(text)};
            try {
                EXPECT_TRUE(sameRows(rowsOf(damaged, statement), rowsOf(damagedPlain, statement)))
                    << sql << ": " << toUtf8(text);
            } catch (const StoreError& error) {
                EXPECT_EQ(error.number(), SQLITE_CORRUPT) << sql << ": " << error.what();
            }
        }
    }
}

// True when another connection can take the store for itself, as no lookup holds a lock on it.
bool unlocked(const std::filesystem::path& file) {
    const testing::Database db = testing::openDatabase(file, SQLITE_OPEN_READWRITE);
    const bool free =
        sqlite3_exec(db.get(), "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    return free;
}

TEST_F(SubstringIndexTest, NoLockOutlivesAnImageSearchOrAStepOfReadingAhead) {
    Connection Conn;
    OpenDictionary(Conn, store->path());
    ASSERT_TRUE(Conn.readAhead());
    EXPECT_TRUE(unlocked(store->path()));
    const Statement statement{Table::English, Column::Word, Match::Substring, u"a_e"};
    ASSERT_FALSE(rowsOf(Conn, statement).empty());
    EXPECT_TRUE(unlocked(store->path()));
}

TEST(SubstringIndexHandOver, ATextWhoseCandidatesKeepFailingIsFinishedByTheImage) {
    // 'q' is in one value in a hundred, so its list is read; but only the last of its values
    // matches q_z, and long before it the index gives up checking them one by one.
    std::vector<TempRow> rows;
    for (int i = 0; i < 40000; ++i) {
        rows.push_back({Table::English, i % 100 == 0 ? u"qaaz" : u"bbb", u"-"});
    }
    rows.push_back({Table::English, u"aqxz", u"found"});
    const testing::TestStore store(rows);
    writeIndexes(store.path());
    Connection Conn;
    OpenDictionary(Conn, store.path());
    const auto found = Conn.substringIndex(Table::English, Column::Word)->search(u"q_z");
    ASSERT_TRUE(found.has_value());
    ASSERT_EQ(found->size(), 1u);
    EXPECT_EQ(found->front().explanation, u"found");
}

TEST(SubstringIndexImage, ALoneSurrogateMeansWhatTheStoreMakesOfIt) {
    // The store joins a lone high surrogate with whatever unit follows it: with 'a', into
    // U+1F061, which this headword holds.
    const testing::TestStore store(
        {{Table::English, u"x\U0001F061y", u"joined"}, {Table::English, u"\uFFFDa", u"replaced"}});
    writeIndexes(store.path());
    Connection indexed;
    OpenDictionary(indexed, store.path());
    Connection plain;
    OpenDictionary(plain, store.path());
    plain.setSubstringIndexEnabled(false);
    const Statement statement{Table::English, Column::Word, Match::Substring,
                              std::u16string{char16_t{0xD83C}, u'a'}};
    const auto expected = rowsOf(plain, statement);
    ASSERT_EQ(expected.size(), 1u);
    EXPECT_TRUE(sameRows(rowsOf(indexed, statement), expected));
}

TEST_F(SubstringIndexTest, AnImageMissingRowsOfItsTableIsNotUsed) {
    testing::execute(testing::openDatabase(store->path(), SQLITE_OPEN_READWRITE).get(),
                     "INSERT INTO 英语单词 VALUES ('zzbzzbzzbzzb', 'added')");
    Connection reopened;
    OpenDictionary(reopened, store->path());
    EXPECT_EQ(ColumnImage::open(reopened.handle(), kIndexedColumns[2]), nullptr);
    const Statement statement{Table::English, Column::Word, Match::Substring, u"z_b%z_b%z_b%z_b"};
    const auto rows = rowsOf(reopened, statement);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back().explanation, u"added");
}

// An image holds only what the builder wrote; anything else in its place is a damaged store,
// reported with the store's number for it, never scanned into rows that do not match or past the
// end of what was read.
TEST_F(SubstringIndexTest, ReportsADamagedImageAsACorruptStore) {
    const std::pair<std::string_view, std::string_view> damaged[] = {
        {"a letter changed",
         "UPDATE image_concise_word SET slots = CAST(replace(CAST(slots AS TEXT), 'a', 'e') AS "
         "BLOB) WHERE chunk = 0"},
        {"a chunk cut short",
         "UPDATE image_concise_word SET slots = substr(slots, 1, length(slots) - 1) "
         "WHERE chunk = 0"},
        {"garbage of the same length",
         "UPDATE image_concise_word SET slots = zeroblob(length(slots)) WHERE chunk = 0"},
        {"no slots at all", "UPDATE image_concise_word SET slots = X'' WHERE chunk = 0"},
        {"a value more than the slots hold",
         "UPDATE image_concise_word SET rows = rows + 1 WHERE chunk = 0"},
        {"slots of another width", "UPDATE image_concise_word SET width = 2 WHERE chunk = 0"},
        {"a chunk missing", "DELETE FROM image_concise_word WHERE chunk = 1"},
    };
    // A copy for each damage, beside the suite's store, which stays open (and, on Windows, so
    // cannot be replaced).
    const std::filesystem::path copy = store->dir() / "damaged";
    for (const auto& [what, sql] : damaged) {
        std::filesystem::remove(copy);
        std::filesystem::copy_file(store->path(), copy);
        {
            const testing::Database db = testing::openDatabase(copy, SQLITE_OPEN_READWRITE);
            testing::execute(db.get(), sql);
            ASSERT_EQ(sqlite3_changes(db.get()), 1) << what;
        }
        // Nothing but wildcards: no gram to look up, so the image is read from its first chunk.
        expectCorrupt(copy, Statement{Table::Concise, Column::Word, Match::Substring, u"__"}, what);
    }
}

}  // namespace
}  // namespace moshitong
