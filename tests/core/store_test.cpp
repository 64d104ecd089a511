#include <gtest/gtest.h>

#include <optional>

#include "core/store.h"
#include "core/text.h"
#include "tests/support/temp_store.h"

namespace moshitong {
namespace {

using testing::TempRow;
using testing::TestStore;

std::vector<std::u16string> words(SqliteRecordset& Rs) {
    std::vector<std::u16string> out;
    for (long i = 0, n = Rs.RecordCount(); i < n; ++i) {
        out.push_back(Rs.Field(u"单词").value_or(u"<null>"));
        Rs.MoveNext();
    }
    return out;
}

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<TempRow> rows = {
            {Table::English, u"apple", u"苹果"},        {Table::English, u"Apple", u"苹果公司"},
            {Table::English, u"don't", u"不要"},        {Table::English, u"100%", u"百分之百"},
            {Table::English, u"a_b", u"下划线"},        {Table::English, u"axb", u"x"},
            {Table::English, u"nothing", std::nullopt}, {Table::English, u"", u""},
            {Table::English, u"zebra", u"斑马"},        {Table::English, u"pineapple", u"菠萝"},
            {Table::Chinese, u"苹果", u"apple"},
        };
        // Many rows that an alphabetical index order would list differently from insertion.
        for (int i = 0; i < 150; ++i) {
            rows.push_back({Table::Concise, u"w" + fromUtf8(std::to_string(149 - i)), u"x"});
        }
        store.emplace(rows);
        OpenDictionary(Conn, store->path());
    }

    std::vector<std::u16string> lookup(Table table, Match match, std::u16string text) {
        Rs.Open(Statement{table, Column::Word, match, std::move(text)}, Conn);
        auto out = words(Rs);
        Rs.Close();
        return out;
    }

    std::optional<TestStore> store;
    Connection Conn;
    SqliteRecordset Rs;
};

TEST_F(StoreTest, ExactMatchIgnoresAsciiCaseAndKeepsInsertionOrder) {
    EXPECT_EQ(lookup(Table::English, Match::Exact, u"APPLE"),
              (std::vector<std::u16string>{u"apple", u"Apple"}));
    EXPECT_EQ(lookup(Table::Chinese, Match::Exact, u"苹果"), std::vector<std::u16string>{u"苹果"});
    EXPECT_TRUE(lookup(Table::English, Match::Exact, u"appl").empty());
}

TEST_F(StoreTest, QuoteIsJustACharacter) {
    EXPECT_EQ(lookup(Table::English, Match::Exact, u"don't"),
              std::vector<std::u16string>{u"don't"});
    EXPECT_EQ(lookup(Table::English, Match::Substring, u"'"),
              std::vector<std::u16string>{u"don't"});
    EXPECT_TRUE(lookup(Table::English, Match::Exact, u"'; drop table 英语单词; --").empty());
    EXPECT_EQ(lookup(Table::English, Match::Exact, u"zebra").size(), 1u);
}

TEST_F(StoreTest, WildcardsActInSubstringSearchesOnly) {
    EXPECT_TRUE(lookup(Table::English, Match::Exact, u"a_b").size() == 1u);
    EXPECT_TRUE(lookup(Table::English, Match::Exact, u"100_").empty());
    EXPECT_EQ(lookup(Table::English, Match::Substring, u"a_b"),
              (std::vector<std::u16string>{u"a_b", u"axb"}));
    EXPECT_EQ(lookup(Table::English, Match::Substring, u"p%e"),
              (std::vector<std::u16string>{u"apple", u"Apple", u"pineapple"}));
    EXPECT_EQ(lookup(Table::English, Match::Substring, u"PPL"),
              (std::vector<std::u16string>{u"apple", u"Apple", u"pineapple"}));
}

TEST_F(StoreTest, NullAndEmptyFieldsAreDistinct) {
    Rs.Open(Statement{Table::English, Column::Word, Match::Exact, u"nothing"}, Conn);
    ASSERT_EQ(Rs.RecordCount(), 1);
    EXPECT_EQ(Rs.Field(u"解释"), std::nullopt);
    Rs.Close();
    Rs.Open(Statement{Table::English, Column::Word, Match::Exact, u""}, Conn);
    ASSERT_EQ(Rs.RecordCount(), 1);
    EXPECT_EQ(Rs.Field(u"解释"), std::optional<std::u16string>(u""));
    Rs.Close();
}

TEST_F(StoreTest, EmptySubstringMatchesEveryNonNullRowUpToTheCapInInsertionOrder) {
    const auto all = lookup(Table::Concise, Match::Substring, u"");
    ASSERT_EQ(all.size(), static_cast<std::size_t>(kRowCap));
    EXPECT_EQ(all.front(), u"w149");
    EXPECT_EQ(all.back(), u"w49");
    EXPECT_EQ(lookup(Table::Concise, Match::Substring, u"w1").size(),
              61u);  // w1, w10..19, w100..149
}

TEST_F(StoreTest, RecordsetRefusesOperationsInTheWrongState) {
    EXPECT_THROW(Rs.RecordCount(), StoreError);
    EXPECT_THROW(Rs.Close(), StoreError);
    Rs.Open(Statement{Table::English, Column::Word, Match::Exact, u"zebra"}, Conn);
    EXPECT_THROW(Rs.Open(Statement{}, Conn), StoreError);
    EXPECT_THROW(Rs.Field(u"phonetic"), StoreError);
    Rs.MoveNext();
    EXPECT_THROW(Rs.Field(u"单词"), StoreError);
    EXPECT_THROW(Rs.MoveNext(), StoreError);
    Rs.Close();
    EXPECT_THROW(Rs.MoveNext(), StoreError);
}

TEST(StatementLiteral, RendersTheClassicConcatenatedForms) {
    const struct {
        Statement statement;
        std::u16string_view literal;
    } cases[] = {
        {{Table::Concise, Column::Word, Match::Exact, u"apple"},
         u"select*from 简明英语单词 where 单词 = 'apple'"},
        {{Table::Concise, Column::Word, Match::Substring, u"app"},
         u"select*from 简明英语单词 where 单词  like '%app%'"},
        {{Table::Concise, Column::Explanation, Match::Substring, u"苹果"},
         u"select*from 简明英语单词 where 解释  like '%苹果%'"},
        {{Table::English, Column::Word, Match::Exact, u"apple"},
         u"select*from 英语单词 where 单词 = 'apple'"},
        {{Table::English, Column::Word, Match::Substring, u"app"},
         u"select*from 英语单词 where 单词  like '%app%'"},
        {{Table::Chinese, Column::Word, Match::Exact, u"苹果"},
         u"select*from 汉语单词 where 单词 = '苹果'"},
        {{Table::Chinese, Column::Word, Match::Substring, u"苹果"},
         u"select*from 汉语单词 where 单词 like '%苹果%'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.statement.literal(), c.literal) << toUtf8(c.literal);
        // The user's text is never part of the executed SQL.
        EXPECT_EQ(boundSql(c.statement).find(toUtf8(c.statement.text)), std::string::npos);
    }
}

}  // namespace
}  // namespace moshitong
