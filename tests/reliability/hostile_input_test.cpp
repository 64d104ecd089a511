// Hostile text typed or pasted into the box, through every lookup: the user gets a listing or the
// apology, never a crash or an error, and the store runs nothing but the lookup's own select.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/hostile_inputs.h"
#include "tests/support/lookup_cycle.h"

namespace moshitong {
namespace {

using testing::Entry;
using testing::Hostile;
using testing::LookupKind;
using testing::Program;
using testing::units;

class HostileInput : public ::testing::TestWithParam<Hostile> {};

// One lookup kind's full cycle on the hostile text.
void expectListingOrApology(const Hostile& hostile, const LookupKind& kind) {
    SCOPED_TRACE(kind.name);
    Program p;
    OpenDictionary(p.Conn, testing::hostileStore());
    const testing::StatementWatch watch(p.Conn.handle());

    int direction = 0;
    ASSERT_NO_THROW(direction = testing::translateAndLookUp(p, hostile.text, kind));
    for (const RunTimeError& error : p.window.errors) {
        ADD_FAILURE() << "reported: " << error.description();
    }
    EXPECT_EQ(p.state.Direction, 0);
    EXPECT_EQ(p.state.ResultShown, 1);
    EXPECT_FALSE(p.Rs.isOpen());
    EXPECT_FALSE(p.window.frameVisible);

    if (direction != 0) {
        const auto entries = testing::readListing(p.window.text);
        if (entries) {
            EXPECT_GE(entries->size(), 1u);
            EXPECT_LE(entries->size(), static_cast<std::size_t>(kRowCap));
        } else {
            EXPECT_EQ(p.window.text, testing::apologyFor(kind, direction))
                << "neither a listing nor the apology";
        }
        EXPECT_FALSE(watch.statements.empty());
    } else {
        // Nothing decided: the panel stayed closed and nothing was looked up.
        EXPECT_TRUE(watch.statements.empty());
        EXPECT_EQ(p.window.text, p.state.SavedQuery);
    }
    const std::string typed = toUtf8(hostile.text);
    for (const std::string& sql : watch.statements) {
        EXPECT_EQ(sql.rfind("SELECT ", 0), 0u) << sql;
        if (typed.size() >= 4) {
            EXPECT_EQ(sql.find(typed), std::string::npos) << "the text became SQL: " << sql;
        }
    }
    EXPECT_TRUE(watch.actions.empty()) << "a statement asked for action " << watch.actions.front();

    // "清 除" works as after any lookup.
    ASSERT_NO_THROW(Command4_Click(p.state, p.window));
    if (direction != 0) {
        EXPECT_TRUE(p.window.text.empty());
        EXPECT_EQ(p.state.ResultShown, 0);
        EXPECT_EQ(p.window.caption, kCaptionTranslate);
    }
}

TEST_P(HostileInput, GetsAListingOrTheApologyAndRunsOnlyTheLookupsOwnSelect) {
    for (const LookupKind& kind : testing::kLookupKinds) {
        expectListingOrApology(GetParam(), kind);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryLookup, HostileInput, ::testing::ValuesIn(testing::hostileInputs()),
                         [](const auto& info) { return std::string(info.param.name); });

std::vector<std::u16string> words(const std::vector<Entry>& entries) {
    std::vector<std::u16string> out;
    for (const Entry& entry : entries) {
        out.push_back(entry.word);
    }
    return out;
}

std::string joined(const std::vector<std::u16string>& list) {
    std::string out;
    for (const auto& item : list) {
        out += "[" + toUtf8(item) + "]";
    }
    return out;
}

// What each hostile text finds: wildcards act only in substring searches, a quote is a
// character, a NUL is not the end of the text, and neither length nor oddity loses an answer.
TEST(HostileInputAnswers, FindWhatTheTextMeans) {
    const LookupKind& conciseExact = testing::kLookupKinds[0];
    const LookupKind& conciseFuzzy = testing::kLookupKinds[1];
    const LookupKind& professionalExact = testing::kLookupKinds[2];
    const LookupKind& professionalFuzzy = testing::kLookupKinds[3];
    const std::vector<std::u16string> apology;
    const struct {
        std::u16string text;
        const LookupKind& kind;
        int direction;
        std::vector<std::u16string> words;  // empty: the apology
        std::size_t count = 0;              // when set, only the count and the first word
    } cases[] = {
        {u"don't", conciseExact, 2, {u"don't"}},
        {u"DON'T", professionalExact, 2, {u"don't"}},
        {u"'", conciseFuzzy, 2, {u"don't", u"o'clock"}},
        {u"''", conciseFuzzy, 2, apology},
        {u"'", conciseExact, 2, apology},
        {u"'; drop table 英语单词; --", professionalFuzzy, 2, apology},
        {u"%", conciseExact, 2, apology},
        {u"%", conciseFuzzy, 2, {u"apple"}, 101},
        {u"%%", professionalFuzzy, 2, {u"apple"}, 101},
        {u"_", conciseExact, 2, apology},
        {u"_", professionalFuzzy, 2, {u"apple"}, 101},
        {u"100%", professionalExact, 2, {u"100%"}},
        {u"a_b", conciseExact, 2, {u"a_b"}},
        {u"\\", conciseFuzzy, 2, {u"back\\slash"}},
        {u"\\slash", conciseExact, 2, apology},
        {units({u'a', u'\0', u'b'}), conciseFuzzy, 2, apology},
        {u"\U0001F34E", conciseExact, 2, {u"\U0001F34E"}},
        {u"\U0001F34E", professionalFuzzy, 2, {u"\U0001F34E"}},
        // Two lone surrogates to the language test: English, so the English table is searched.
        {u"\U00020000", professionalFuzzy, 2, apology},
        {u"\U00020000字", professionalFuzzy, 2, apology},
        {u"\u200Fmark", conciseExact, 2, {u"\u200Fmark"}},
        {u"mark", conciseExact, 2, apology},
        {u"苹果", professionalExact, 1, {u"苹果"}},
        {u"苹果", conciseFuzzy, 1, {u"apple", u"\U0001F34E"}},
        {u"百分", professionalFuzzy, 1, {u"百分之百"}},
        {u"\u3000苹果\u3000", professionalExact, 1, {u"苹果"}},
        {std::u16string(32768, u'a'), conciseExact, 2, apology},
        {std::u16string(1 << 20, u'%'), conciseFuzzy, 2, {u"apple"}, 101},
        {std::u16string(1 << 20, u'_'), professionalFuzzy, 2, apology},
        {std::u16string(1 << 20, u'中'), conciseFuzzy, 1, apology},
        {u"%" + std::u16string(1 << 20, u'%') + u"apple", professionalFuzzy, 2, {u"apple"}},
    };
    Program p;
    OpenDictionary(p.Conn, testing::hostileStore());
    for (const auto& c : cases) {
        const std::string label = toUtf8(c.text.substr(0, 40)) + " / " + c.kind.name;
        const int direction = testing::translateAndLookUp(p, c.text, c.kind);
        EXPECT_EQ(direction, c.direction) << label;
        EXPECT_TRUE(p.window.errors.empty()) << label;
        if (direction != 0) {
            const auto entries = testing::readListing(p.window.text);
            if (c.words.empty()) {
                EXPECT_EQ(p.window.text, testing::apologyFor(c.kind, direction)) << label;
            } else if (!entries) {
                ADD_FAILURE() << label
                              << ": not a listing: " << toUtf8(p.window.text.substr(0, 80));
            } else if (c.count != 0) {
                EXPECT_EQ(entries->size(), c.count) << label;
                EXPECT_EQ(entries->front().word, c.words.front()) << label;
            } else {
                EXPECT_EQ(joined(words(*entries)), joined(c.words)) << label;
            }
        }
        p.window.errors.clear();
        Command4_Click(p.state, p.window);
        Command4_Click(p.state, p.window);
    }
}

// A megabyte of text is decided by its characters as any short text is, and every lookup on it
// still ends in the state the next press expects.
TEST(HostileInputAnswers, AMegabyteIsDecidedAndLookedUpLikeAWord) {
    Program p;
    OpenDictionary(p.Conn, testing::hostileStore());
    std::u16string text(1 << 20, u'a');
    text += std::u16string((1 << 20) - 1, u'中');
    p.window.text = text;
    Command4_Click(p.state, p.window);
    EXPECT_EQ(p.state.Direction, 2);
    text += u"中中";
    p.window.text = text;
    p.state = {};
    Command4_Click(p.state, p.window);
    EXPECT_EQ(p.state.Direction, 1);
    EXPECT_EQ(p.state.SavedQuery.size(), text.size());
    Command2_Click(p.session());
    EXPECT_EQ(p.window.text, kApologyEnglish);
    EXPECT_EQ(p.window.beeps, 1);
    EXPECT_EQ(p.state.Direction, 0);
}

}  // namespace
}  // namespace moshitong
