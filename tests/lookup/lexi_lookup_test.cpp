#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "core/text.h"
#include "lookup/handlers.h"
#include "tests/support/fake_recordset.h"
#include "tools/lexi-lookup/cycle.h"
#include "tools/lexi-lookup/options.h"
#include "tools/lexi-lookup/output.h"

namespace moshitong::lexi_lookup {
namespace {

using moshitong::testing::entryText;
using moshitong::testing::FakeRecordset;
using moshitong::testing::FakeRow;
using moshitong::testing::Op;

ParseResult parse(std::initializer_list<std::string_view> args) {
    const std::vector<std::string_view> list(args);
    return parseArguments(list);
}

// The parsed options in a few words, so one table row says what a list of arguments means.
std::string describe(const Options& o) {
    std::string out = o.store ? "store=" + o.store->string() : "store=default";
    for (const auto& [set, name] : {std::pair{o.fuzzy, " fuzzy"},
                                    {o.professional, " professional"},
                                    {o.directionOnly, " direction"},
                                    {o.json, " json"},
                                    {o.help, " help"}}) {
        out += set ? name : "";
    }
    for (const std::string& query : o.queries) {
        out += " [" + query + "]";
    }
    return out;
}

TEST(ParseArguments, AcceptsEveryOptionAndKeepsQueriesInOrder) {
    const struct {
        std::initializer_list<std::string_view> args;
        std::string options;
    } cases[] = {
        {{}, "store=default"},
        {{"apple"}, "store=default [apple]"},
        {{"--fuzzy", "app", "--professional", "苹果"},
         "store=default fuzzy professional [app] [苹果]"},
        {{"--store", "dir/lexi", "--json"}, "store=dir/lexi json"},
        {{"--store=dir/lexi", "a"}, "store=dir/lexi [a]"},
        {{"--direction", "a"}, "store=default direction [a]"},
        {{"--help"}, "store=default help"},
        {{"-h"}, "store=default help"},
        // After "--" every argument is a query, an option's spelling included.
        {{"--json", "--", "--fuzzy", "--"}, "store=default json [--fuzzy] [--]"},
        {{"-", "a b", ""}, "store=default [-] [a b] []"},
        {{"--store", "--json"}, "store=--json"},
    };
    for (const auto& c : cases) {
        const ParseResult result = parse(c.args);
        ASSERT_TRUE(std::holds_alternative<Options>(result))
            << std::get<UsageError>(result).message;
        EXPECT_EQ(describe(std::get<Options>(result)), c.options);
    }
}

TEST(ParseArguments, RejectsBadArgumentsNamingThem) {
    const struct {
        std::initializer_list<std::string_view> args;
        std::string named;
    } cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"apple", "-x"}, "-x"},
        {{"--store"}, "--store"},
        {{"--store="}, "--store"},
        {{"--store", "a", "--store", "b"}, "\"b\""},
        {{"--Fuzzy"}, "--Fuzzy"},
    };
    for (const auto& c : cases) {
        const ParseResult result = parse(c.args);
        ASSERT_TRUE(std::holds_alternative<UsageError>(result)) << c.named;
        EXPECT_NE(std::get<UsageError>(result).message.find(c.named), std::string::npos)
            << std::get<UsageError>(result).message;
    }
}

TEST(JsonString, EscapesWhatJsonRequiresAndKeepsTheRestAsUtf8) {
    const struct {
        std::u16string text;
        std::string json;
    } cases[] = {
        {u"", R"("")"},
        {u"apple", R"("apple")"},
        {u"say \"hi\" \\ /", R"("say \"hi\" \\ /")"},
        {u"\r\n\t\b\f", R"("\r\n\t\b\f")"},
        {std::u16string(1, u'\0') + u"\x01\x1f\x7f\x80\x9f",
         R"("\u0000\u0001\u001f\u007f\u0080\u009f")"},
        {u"\u2028\u2029", R"("\u2028\u2029")"},
        {u"苹果，ａ", "\"苹果，ａ\""},
        {u"\U0001F34E", "\"\xF0\x9F\x8D\x8E\""},
        {u"a\xD83Cz", "\"a\xEF\xBF\xBDz\""},
        {u"\xDF4E\xD83C", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(jsonString(c.text), c.json);
    }
}

// Every UTF-16 code unit on its own, between two letters, must come out as a JSON string that
// a strict reader accepts and decodes to the same character (U+FFFD for a lone surrogate).
TEST(JsonString, EveryCodeUnitRoundTripsThroughAStrictReader) {
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
        const std::u16string text = u"a" + std::u16string(1, static_cast<char16_t>(unit)) + u"b";
        const std::string json = jsonString(text);
        const auto parsed = nlohmann::json::parse(json, nullptr, false);
        ASSERT_FALSE(parsed.is_discarded())
            << "unit " << static_cast<std::uint32_t>(unit) << ": " << json;
        ASSERT_EQ(parsed.get<std::string>(), toUtf8(text))
            << "unit " << static_cast<std::uint32_t>(unit);
    }
}

QueryResult sampleResult() {
    QueryResult result;
    result.query = u"app";
    result.direction = 2;
    result.text = entryText(u"apple", u"苹果") + entryText(u"applet", u"");
    result.entries = {{u"apple", u"苹果"}, {u"applet", std::nullopt}};
    return result;
}

TEST(FormatPlain, WritesLineFeedsAndEndsWithABlankLine) {
    EXPECT_EQ(formatPlain(sampleResult()), "\napple\n\n苹果\n\n" + std::string(32, '-') +
                                               "\napplet\n\n\n\n" + std::string(32, '-') + "\n\n");
    QueryResult lone;
    lone.text = u"a\rb\nc\r";
    EXPECT_EQ(formatPlain(lone), "a\rb\nc\r\n\n");
    QueryResult surrogate;
    surrogate.text = u"a\xD800\r\n";
    EXPECT_EQ(formatPlain(surrogate), "a\xEF\xBF\xBD\n\n\n");
    EXPECT_EQ(formatPlain(QueryResult{}), "\n\n");
}

TEST(FormatJson, OneObjectPerLineWithTheBoxTextExact) {
    const std::string line = formatJson(sampleResult());
    ASSERT_EQ(line.back(), '\n');
    EXPECT_EQ(line.find('\n'), line.size() - 1);
    const auto json = nlohmann::json::parse(line);
    EXPECT_EQ(json["query"], "app");
    EXPECT_EQ(json["direction"], 2);
    EXPECT_EQ(json["text"], toUtf8(sampleResult().text));
    EXPECT_EQ(json["found"], true);
    EXPECT_EQ(json["entries"], nlohmann::json::parse(R"([{"word":"apple","explanation":"苹果"},)"
                                                     R"({"word":"applet","explanation":null}])"));
    // The keys come in a fixed order, so a line can be compared as text.
    EXPECT_EQ(line.substr(0, 9), R"({"query":)");

    QueryResult tie;
    tie.query = u"ab中文";
    tie.text = u"ab中文";
    EXPECT_EQ(formatJson(tie),
              R"({"query":"ab中文","direction":0,"text":"ab中文","entries":[],"found":false})"
              "\n");
}

TEST(FormatDirection, PlainNumberOrJson) {
    EXPECT_EQ(formatDirection(u"apple", 2, false), "2\n");
    EXPECT_EQ(formatDirection(u"ab中文", 0, false), "0\n");
    EXPECT_EQ(formatDirection(u"苹\"果", 1, true), R"({"query":"苹\"果","direction":1})"
                                                   "\n");
}

TEST(QueryReader, SplitsLinesAndRepairsWhatItReads) {
    const struct {
        std::string input;
        std::vector<std::u16string> queries;
    } cases[] = {
        {"", {}},
        {"apple", {u"apple"}},
        {"apple\n苹果\n", {u"apple", u"苹果"}},
        {"apple\r\nb\r\n", {u"apple", u"b"}},
        // Only the CR of a CR LF ending goes; a CR elsewhere is the query's own.
        {"a\rb\r\r\nc\r", {u"a\rb\r", u"c\r"}},
        {"\n\n", {u"", u""}},
        {"\xEF\xBB\xBF苹果\n\xEF\xBB\xBF", {u"苹果", u"\uFEFF"}},
        {"\xFF\xFE"
         "apple\n\xE8\x8B\n",
         {u"\uFFFD\uFFFDapple", u"\uFFFD\uFFFD"}},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.input);
        QueryReader reader(in);
        std::vector<std::u16string> got;
        while (const auto query = reader.next()) {
            got.push_back(*query);
        }
        EXPECT_EQ(got, c.queries) << c.input;
    }
}

TEST(RecordingRecordset, RemembersTheRowsTheListingRead) {
    FakeRecordset inner({{u"a", u"b"}, {u"c", std::nullopt}, {u"e", u"f"}});
    RecordingRecordset Rs(inner);
    Connection Conn;
    const Statement statement{Table::English, Column::Word, Match::Exact, u"a"};
    Rs.Open(statement, Conn);
    EXPECT_EQ(Rs.RecordCount(), 3);
    EXPECT_EQ(Rs.Field(u"单词"), u"a");
    EXPECT_EQ(Rs.Field(u"解释"), u"b");
    Rs.MoveNext();
    EXPECT_EQ(Rs.Field(u"单词"), u"c");
    EXPECT_EQ(Rs.Field(u"解释"), std::nullopt);
    Rs.MoveNext();
    EXPECT_EQ(Rs.Field(u"单词"), u"e");  // the listing stopped before the explanation
    Rs.Close();
    EXPECT_EQ(Rs.entries(), (std::vector<ListedEntry>{{u"a", u"b"}, {u"c", std::nullopt}}));
    EXPECT_EQ(Rs.lastStatement(), statement);
    EXPECT_FALSE(inner.isOpen());

    Rs.reset();
    EXPECT_TRUE(Rs.entries().empty());
    EXPECT_EQ(Rs.lastStatement(), std::nullopt);
}

TEST(RecordingRecordset, AFailedReadListsNothingForThatRow) {
    FakeRecordset inner({{u"a", u"b"}, {u"c", u"d"}});
    inner.failField(u"解释", 0);
    RecordingRecordset Rs(inner);
    Connection Conn;
    Rs.Open(Statement{}, Conn);
    Rs.Field(u"单词");
    EXPECT_THROW(Rs.Field(u"解释"), StoreError);
    Rs.MoveNext();
    Rs.Field(u"解释");  // an explanation without its headword is no listed row either
    EXPECT_TRUE(Rs.entries().empty());
}

TEST(QueryCycle, ReportsTheStoreErrorWithTheStatementAndGoesOn) {
    FakeRecordset Rs(std::vector<FakeRow>{{u"apple", u"苹果"}});
    Connection Conn;
    QueryCycle cycle(Rs, Conn, CycleOptions{});
    Rs.failAt(Op::Count);
    const QueryResult failed = cycle.run(u"apple");
    ASSERT_EQ(failed.errors.size(), 1u);
    EXPECT_EQ(failed.errors[0].error.number(), moshitong::testing::injectedErrorNumber(Op::Count));
    EXPECT_EQ(formatStoreReport(failed.errors[0]),
              "lexi-lookup: store error 901: injected failure "
              "(in: select*from 简明英语单词 where 单词 = 'apple')\n");
    EXPECT_FALSE(failed.found());

    Rs.neverFail();
    const QueryResult next = cycle.run(u"apple");
    EXPECT_TRUE(next.errors.empty());
    EXPECT_EQ(next.entries, (std::vector<ListedEntry>{{u"apple", u"苹果"}}));
}

TEST(DecideDirection, TheTranslatePressAlone) {
    const struct {
        std::u16string query;
        int direction;
    } cases[] = {{u"apple", 2}, {u"苹果", 1}, {u"ab中文", 0}, {u"\r\n 苹果 \r\n", 1}, {u"", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(decideDirection(c.query), c.direction) << toUtf8(c.query);
    }
}

}  // namespace
}  // namespace moshitong::lexi_lookup
