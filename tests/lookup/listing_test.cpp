#include <gtest/gtest.h>

#include "core/text.h"
#include "lookup/handlers.h"
#include "tests/support/fake_recordset.h"

namespace moshitong {
namespace {

using testing::entryText;
using testing::FakeRecordset;
using testing::FakeRow;
using testing::Op;

const std::u16string kHyphens(32, u'-');

struct LayoutCase {
    const char* name;
    std::u16string before;  // what the box held when the listing started
    std::vector<FakeRow> rows;
    std::u16string expected;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

class ListingLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ListingLayout, AppendsTheExactBytesOfEachEntry) {
    const LayoutCase& c = GetParam();
    FakeRecordset Rs(c.rows);
    Connection Conn;
    Rs.Open(Statement{}, Conn);
    MemoryWindow window;
    window.text = c.before;
    ResultListing(Rs, window);
    EXPECT_EQ(toUtf8(window.text), toUtf8(c.expected));
    EXPECT_TRUE(Rs.isOpen()) << "the listing must leave closing to its caller";
    EXPECT_EQ(window.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ListingLayout,
    ::testing::Values(
        LayoutCase{"NoRows", u"", {}, u""},
        LayoutCase{"OneEntry", u"", {{u"a", u"b"}}, u"\r\na\r\n\r\nb\r\n\r\n" + kHyphens},
        LayoutCase{"NullExplanationKeepsItsLine",
                   u"",
                   {{u"a", std::nullopt}},
                   u"\r\na\r\n\r\n\r\n\r\n" + kHyphens},
        LayoutCase{"NullHeadwordKeepsItsLine",
                   u"",
                   {{std::nullopt, u"b"}},
                   u"\r\n\r\n\r\nb\r\n\r\n" + kHyphens},
        LayoutCase{"EmptyFieldsStillMakeAnEntry", u"", {{u"", u""}}, entryText(u"", u"")},
        LayoutCase{"EntriesFollowInRowOrder",
                   u"",
                   {{u"apple", u"苹果"}, {u"Apple", u"苹果公司"}},
                   entryText(u"apple", u"苹果") + entryText(u"Apple", u"苹果公司")},
        LayoutCase{"LineBreaksInsideAFieldPassThrough",
                   u"",
                   {{u"a\nb", u"c\r\nd"}},
                   entryText(u"a\nb", u"c\r\nd")},
        LayoutCase{"AppendsToWhatTheBoxHolds", u"x", {{u"a", u"b"}}, u"x" + entryText(u"a", u"b")}),
    [](const auto& info) { return std::string(info.param.name); });

// The cap is tested after each entry, so the 101st entry is still listed and nothing after it is
// read from the store.
class ListingCap : public ::testing::TestWithParam<int> {};

TEST_P(ListingCap, ListsAtMost101EntriesAndReadsNoFurther) {
    const int rows = GetParam();
    std::vector<FakeRow> data;
    for (int i = 0; i < rows; ++i) {
        data.push_back({u"w" + fromUtf8(std::to_string(i)), u"e"});
    }
    FakeRecordset Rs(data);
    Connection Conn;
    Rs.Open(Statement{}, Conn);
    MemoryWindow window;
    ResultListing(Rs, window);

    const std::size_t listed = std::min(rows, 101);
    std::u16string expected;
    for (std::size_t i = 0; i < listed; ++i) {
        expected += entryText(*data[i].word, u"e");
    }
    EXPECT_EQ(window.text, expected);
    EXPECT_EQ(Rs.rowsRead().size(), listed);
    EXPECT_EQ(Rs.countOf(Op::Move), listed);
    EXPECT_EQ(Rs.countOf(Op::Count), 1u);
}

INSTANTIATE_TEST_SUITE_P(RowCounts, ListingCap, ::testing::Values(0, 1, 100, 101, 102, 150));

TEST(ListingFailure, KeepsWhatWasListedAndPassesTheFailureOn) {
    FakeRecordset Rs({{u"a", u"b"}, {u"c", u"d"}, {u"e", u"f"}});
    Connection Conn;
    Rs.Open(Statement{}, Conn);
    Rs.failField(u"解释", 1);
    MemoryWindow window;
    EXPECT_THROW(ResultListing(Rs, window), StoreError);
    // The second entry's first piece needs both fields, so none of it reaches the box.
    EXPECT_EQ(window.text, entryText(u"a", u"b"));
}

TEST(ShowApologyIfEmpty, ReplacesOnlyAnEmptyBox) {
    const struct {
        std::u16string before;
        std::u16string_view apology;
        std::u16string after;
    } cases[] = {
        {u"", kApologyEnglish, u"对不起，没找到这个词儿！"},
        {u"", kApologyChinese, u"对不起，没找到这个词！"},
        {entryText(u"", u""), kApologyEnglish, entryText(u"", u"")},
        {u" ", kApologyEnglish, u" "},
    };
    for (const auto& c : cases) {
        MemoryWindow window;
        window.text = c.before;
        ShowApologyIfEmpty(window, c.apology);
        EXPECT_EQ(window.text, c.after) << toUtf8(c.before);
        EXPECT_EQ(window.beeps, 0);
    }
}

}  // namespace
}  // namespace moshitong
