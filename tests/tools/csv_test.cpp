#include <gtest/gtest.h>

#include "tests/support/named_case.h"
#include "tools/lexi-build/csv.h"

namespace moshitong::builder {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows readAll(std::string_view text, std::vector<std::size_t>* lines = nullptr) {
    CsvReader reader(text);
    Rows rows;
    std::vector<std::string> fields;
    while (reader.next(fields)) {
        rows.push_back(fields);
        if (lines != nullptr) {
            lines->push_back(reader.rowLine());
        }
    }
    return rows;
}

// A text and the rows read from it.
using CsvCase = testing::NamedCase<std::string_view, Rows>;

const CsvCase kTexts[] = {
    {"Plain", "word,frq\napple,2695\n", {{"word", "frq"}, {"apple", "2695"}}},
    {"CrLfLineEnds", "a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
    {"NoFinalLineBreak", "a,b\nc,d", {{"a", "b"}, {"c", "d"}}},
    {"EmptyFields", ",,\nx,,\n", {{"", "", ""}, {"x", "", ""}}},
    {"QuotedComma", "adperson,\"'æd,p\\\\:sәn\"\n", {{"adperson", "'æd,p\\\\:sәn"}}},
    {"DoubledQuotes", "be,\"this was \"\"it\"\"\"\n", {{"be", "this was \"it\""}}},
    {"QuotedLineBreak", "a,\"one\ntwo\"\nb,c\n", {{"a", "one\ntwo"}, {"b", "c"}}},
    {"QuoteInsidePlainField", "it's,5\" disk\n", {{"it's", "5\" disk"}}},
    {"LoneCarriageReturnStays", "a\rb,c\n", {{"a\rb", "c"}}},
};

class CsvRows : public ::testing::TestWithParam<CsvCase> {};

TEST_P(CsvRows, SplitAsEcdictWroteThem) {
    EXPECT_EQ(readAll(GetParam().given), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, CsvRows, ::testing::ValuesIn(kTexts), testing::caseName);

TEST(CsvReader, CountsLinesInsideQuotedFields) {
    std::vector<std::size_t> lines;
    readAll("h\n\"x\ny\"\nz\n", &lines);
    EXPECT_EQ(lines, (std::vector<std::size_t>{1, 2, 4}));
}

// Reading `text` fails with CsvError, naming `line` and saying `message`.
void expectCsvError(std::string_view text, std::size_t line, const char* message) {
    try {
        readAll(text);
        FAIL() << "no error";
    } catch (const CsvError& error) {
        EXPECT_EQ(error.line(), line);
        EXPECT_STREQ(error.what(), message);
    }
}

TEST(CsvReader, UnclosedQuoteNamesTheLineWhereTheFieldOpened) {
    expectCsvError("a,b\nc,d\ne,\"never closed\nf,g\n", 3, "a quoted field is not closed");
}

TEST(CsvReader, TextAfterAClosingQuoteIsAnError) {
    expectCsvError("a,b\n\"c\"d,e\n", 2, "unexpected text after a closing quote");
}

}  // namespace
}  // namespace moshitong::builder
