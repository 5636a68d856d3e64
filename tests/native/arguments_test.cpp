#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/host_api.h"
#include "plugin/state.h"
#include "settings/arguments.h"
#include "test_support.h"

namespace {

typedef std::u16string Text;

class ArgumentsTest : public PluginTest {};

// The arguments as the command sees them, checking on the way that each
// one is terminated right after its last character.
std::vector<Text> Arguments()
{
    std::vector<Text> out;
    for (int k = 0; k < ArgumentList.count; ++k) {
        const WCHAR* text = ArgumentList.text[k];
        EXPECT_NE(text, nullptr) << "argument " << k;
        if (text == nullptr)
            continue;
        int length = ArgumentList.length[k];
        EXPECT_EQ(text[length], 0) << "argument " << k << " is not terminated";
        out.push_back(Text(text, (size_t)length));
    }
    return out;
}

Text Stderr()
{
    return HostOutput(HostStderr);
}

Text Repeat(char16_t c, size_t count)
{
    return Text(count, c);
}

Text Number(size_t value)
{
    std::string digits = std::to_string(value);
    return Text(digits.begin(), digits.end());
}

Text OverflowMessage(int b)
{
    return u"Mirvane plugin: Buffer overflow: b = " + Number((size_t)b) + u", MAX_ARG_LEN = 8192 \r\n";
}

struct SplitCase {
    const char* name;
    Text line;
    std::vector<Text> arguments;
};

const SplitCase SplitCases[] = {
    {"TwoSwitches", u"/B:Ctrl-Up /W:N", {u"/B:Ctrl-Up", u"/W:N"}},
    {"SpacesAroundAndBetween", u"  /b=ctrl-alt-up   /e:y  ", {u"/b=ctrl-alt-up", u"/e:y"}},
    {"SwitchesWrittenTogether", u"/B:Ctrl-Up/W:N/E:Y", {u"/B:Ctrl-Up", u"/W:N", u"/E:Y"}},
    {"TwoBareSwitches", u"/D/R", {u"/D", u"/R"}},
    {"LowerCaseSwitches", u"/a/b", {u"/a", u"/b"}},
    {"SlashInsidePlainWordStays", u"abc/def", {u"abc/def"}},
    {"DoubleSlashWord", u"//x/y", {u"//x", u"/y"}},
    {"LoneSlashThenSlash", u"/ /", {u"/", u"/"}},
    {"QuotedSlashesStay", u"\"/a/b\"", {u"/a/b"}},
    {"QuotedFirstSlashStillCounts", u"\"/a\"/b", {u"/a", u"/b"}},
    {"KeyNameWithSlashSplits", u"/B:Ctrl-/", {u"/B:Ctrl-", u"/"}},
    {"QuotedKeyNameWithSlash", u"/B:\"Ctrl-/\"", {u"/B:Ctrl-/"}},
    {"QuotedSpaceInKeyName", u"/B:\"Ctrl Up\"", {u"/B:Ctrl Up"}},
    {"EmptyQuotesAddNothing", u"a \"\" b", {u"a", u"b"}},
    {"QuotesInsideWord", u"ab\"c d\"e", {u"abc de"}},
    {"UnclosedQuote", u"\"abc", {u"abc"}},
    {"UnclosedQuoteTrailingSpaceTrimmed", u"\"abc  ", {u"abc"}},
    {"LeadingQuotedSpaceKept", u"\" a \"", {u" a"}},
    {"QuotedWhitespaceOnly", u"\"  \"", {u""}},
    {"QuotedWhitespaceBetweenWords", u"a \" \" b", {u"a", u"", u"b"}},
    {"QuoteAfterSwitchName", u"/E\"Y\"", {u"/EY"}},
    {"QuotedSwitchName", u"\"/E\":Y", {u"/E:Y"}},
    {"QuotedSlashDoesNotSplit", u"/W:Y\"/E:N\"", {u"/W:Y/E:N"}},
    {"OrdinaryPunctuation", u"x=y, z]", {u"x=y,", u"z]"}},
    {"BangIsOrdinary", u"/S!", {u"/S!"}},
    {"BracketsAreOrdinary", u"/[!a b]", {u"/[!a", u"b]"}},
    {"Tabs", u"\t/L\t", {u"/L"}},
    {"NoBreakSpaceSeparates", u"a\u00A0b", {u"a", u"b"}},
    {"IdeographicSpaceSeparates", u"a\u3000b", {u"a", u"b"}},
    {"OtherWhitespaceSeparates", u"a\r\nb\vc\fd", {u"a", u"b", u"c", u"d"}},
    {"NonAsciiKeptAsIs", u"\u00E9t\u00E9 \u4E2D", {u"\u00E9t\u00E9", u"\u4E2D"}},
    {"Empty", u"", {}},
    {"WhitespaceOnly", u" \t \u00A0 ", {}},
};

void PrintTo(const SplitCase& c, std::ostream* os)
{
    *os << c.name;
}

class SplitTest : public ArgumentsTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplitTest, GivesArguments)
{
    const SplitCase& c = GetParam();
    int result = ParseArguments(c.line.c_str());
    EXPECT_EQ(result, (int)c.arguments.size());
    EXPECT_EQ(ArgumentList.count, (int)c.arguments.size());
    EXPECT_EQ(Arguments(), c.arguments);
    EXPECT_EQ(Stderr(), u"");
}

INSTANTIATE_TEST_SUITE_P(Tokenizer, SplitTest, ::testing::ValuesIn(SplitCases),
                         [](const ::testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

// Lines near the limits: 1024 arguments and 8192 buffer positions.
struct LimitCase {
    const char* name;
    Text line;
    int result;
    std::vector<size_t> lengths; // of the arguments, when the call succeeds
    int overflowB;               // b in the overflow message; -1 for none
};

Text Words(size_t count)
{
    Text line;
    for (size_t i = 0; i < count; ++i)
        line += u"w" + Number(i) + u" ";
    return line;
}

// 1023 one-letter words take 2046 positions; a last word of `last`
// characters then fills the buffer to 2046 + last + 1.
Text FullList(size_t last)
{
    Text line;
    for (int i = 0; i < 1023; ++i)
        line += u"a ";
    return line + Repeat('z', last);
}

std::vector<LimitCase> LimitCases()
{
    std::vector<size_t> lengths1024;
    for (size_t i = 0; i < 1024; ++i)
        lengths1024.push_back(1 + std::to_string(i).size());
    std::vector<size_t> fullLengths(1023, 1);
    fullLengths.push_back(6143);
    return {
        {"FirstOf1030WordsKept", Words(1030), 1024, lengths1024, -1},
        {"Word8191Fits", Repeat('x', 8191), 1, {8191}, -1},
        {"Word8191WithTrailingSpaceFits", Repeat('x', 8191) + u" ", 1, {8191}, -1},
        {"Words8189And1Fit", Repeat('x', 8189) + u" y", 2, {8189, 1}, -1},
        {"Words8190And1Overflow", Repeat('x', 8190) + u" y", -1, {}, 8191},
        {"Word8192Overflows", Repeat('x', 8192), -1, {}, 8191},
        {"CharAfter1024thDroppedWhenItFits", FullList(6143) + u" q", 1024, fullLengths, -1},
        {"CharAfter1024thStillOverflows", FullList(6144) + u" q", -1, {}, 8191},
    };
}

void PrintTo(const LimitCase& c, std::ostream* os)
{
    *os << c.name;
}

class LimitTest : public ArgumentsTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(LimitTest, KeepsWithinBuffer)
{
    const LimitCase& c = GetParam();
    int result = ParseArguments(c.line.c_str());
    EXPECT_EQ(result, c.result);
    if (c.overflowB >= 0) {
        EXPECT_EQ(ArgumentList.count, 0);
        EXPECT_EQ(Stderr(), OverflowMessage(c.overflowB));
        return;
    }
    EXPECT_EQ(Stderr(), u"");
    ASSERT_EQ(ArgumentList.count, (int)c.lengths.size());
    for (size_t k = 0; k < c.lengths.size(); ++k)
        ASSERT_EQ((size_t)ArgumentList.length[k], c.lengths[k]) << "argument " << k;
    Arguments(); // every argument terminated
}

INSTANTIATE_TEST_SUITE_P(Tokenizer, LimitTest, ::testing::ValuesIn(LimitCases()),
                         [](const ::testing::TestParamInfo<LimitCase>& info) { return info.param.name; });

TEST_F(ArgumentsTest, ArgumentsFollowOneAnotherInTheBuffer)
{
    ASSERT_EQ(ParseArguments(u"ab \"c \" /x/y"), 4);
    EXPECT_EQ(ArgumentList.text[0], &ArgumentList.buffer[0]);
    EXPECT_EQ(ArgumentList.text[1], &ArgumentList.buffer[3]);
    EXPECT_EQ(ArgumentList.text[2], &ArgumentList.buffer[6]); // "c " took 3 before trimming
    EXPECT_EQ(ArgumentList.text[3], &ArgumentList.buffer[9]);
    EXPECT_EQ(Text(ArgumentList.buffer, 12), Text(u"ab\0c\0\0/x\0/y\0", 12));
}

TEST_F(ArgumentsTest, NextCallClearsEveryEntry)
{
    ASSERT_EQ(ParseArguments(u"a b c"), 3);
    ASSERT_EQ(ParseArguments(u"d"), 1);
    for (int k = 1; k < MAX_ARGS; ++k) {
        ASSERT_EQ(ArgumentList.text[k], nullptr) << k;
        ASSERT_EQ(ArgumentList.length[k], 0) << k;
    }
    ASSERT_EQ(ParseArguments(u""), 0);
    EXPECT_EQ(ArgumentList.text[0], nullptr);
    EXPECT_EQ(ArgumentList.buffer[0], 0);
}

TEST_F(ArgumentsTest, NullLineChangesNothing)
{
    ASSERT_EQ(ParseArguments(u"a b"), 2);
    EXPECT_EQ(ParseArguments(nullptr), -1);
    EXPECT_EQ(ArgumentList.count, 2);
    EXPECT_EQ(Arguments(), (std::vector<Text>{u"a", u"b"}));
    EXPECT_EQ(HostWriteCount(), 0);
}

TEST_F(ArgumentsTest, OverflowIsPrefixThenOneMessage)
{
    Text line = u"/B:Ctrl-Up " + Repeat('x', 9000);
    ASSERT_EQ(ParseArguments(line.c_str()), -1);
    ASSERT_GE(HostWriteCount(), 2);
    int last = HostWriteCount() - 1;
    EXPECT_EQ(HostWriteChannel(last), HostStderr);
    EXPECT_EQ(Text(HostWriteText(last)), u"Buffer overflow: b = 8191, MAX_ARG_LEN = 8192 \r\n");
    EXPECT_EQ(Stderr(), OverflowMessage(8191));
    EXPECT_EQ(HostOutput(HostStdout), Text());
    // The command walks the count, so it must see nothing.
    EXPECT_EQ(ArgumentList.count, 0);
}

} // namespace
