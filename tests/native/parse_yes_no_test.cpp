// The command's Y/N reading and its quoting of a bad argument, below the
// command's own cases (tests/cases/command_cases.h): texts no whole command
// line can carry there, and the argument list the quote is made in.
#include <string>

#include "host/exports.h"
#include "settings/arguments.h"
#include "settings/command.h"
#include "test_support.h"

namespace {

typedef std::u16string Text;

Text Err(const Text& message)
{
    return u"Mirvane plugin: " + message;
}

class CommandArgumentTest : public PluginTest {};

TEST_F(CommandArgumentTest, ErrorQuotesArgumentUpperCasedInPlace)
{
    Text arguments = u"/w:y /b:ctrl-foo";
    ASSERT_EQ(mirvane(&arguments[0]), 1);
    EXPECT_EQ(Text(ArgumentList.text[1]), u"/B:CTRL-FOO");
    EXPECT_EQ(Text(ArgumentList.text[0]), u"/w:y"); // only the offending one
}

struct YesNoCase {
    const char* name;
    Text argument;
    int result;
    int32_t value; // what the pointer holds afterwards; 7 = untouched
    Text quoted;   // the argument as the error quotes it
};

const YesNoCase YesNoCases[] = {
    {"ColonYes", u"/E:Yes", 0, 1, u""},
    {"ColonLowerYes", u"/E:yes", 0, 1, u""},
    {"OnlyFirstLetterCounts", u"/E:yellow", 0, 1, u""},
    {"EqualsNo", u"/E=n", 0, 0, u""},
    {"LongName", u"/Error:Yes", 0, 1, u""},
    {"WrapNo", u"/W:no", 0, 0, u""},
    {"NoSeparator", u"/W-N", 1, 7, u"/W-N"},
    {"NonAsciiLettersSkipped", u"/W\u00e9\u00df:n", 0, 0, u""},
    {"NoSlashReadsFirst", u"yes", 0, 1, u""},
    {"LetterTakenForName", u"/EY", 1, 7, u"/EY"},
    {"EndOfText", u"/E", 1, 7, u"/E"},
    {"NothingAfterColon", u"/E:", 1, 7, u"/E:"},
    {"OnlyOneSeparator", u"/E::Y", 1, 7, u"/E::Y"},
    {"Digit", u"/e:1", 1, 7, u"/E:1"},
    {"NonAsciiNotUpperCased", u"/e:\u00e9", 1, 7, u"/E:\u00e9"},
};

class YesNoTest : public PluginTest, public ::testing::WithParamInterface<YesNoCase> {};

TEST_P(YesNoTest, Reads)
{
    const YesNoCase& c = GetParam();
    Text argument = c.argument;
    int32_t value = 7;
    EXPECT_EQ(ParseYesNo(&argument[0], &value) ? 0 : 1, c.result);
    EXPECT_EQ(value, c.value);
    Text expectedErr = c.result ? Err(u"Expected a Y or N: \"" + c.quoted + u"\"\r\n") : Text();
    EXPECT_EQ(Text(HostOutput(HostStderr)), expectedErr);
}

INSTANTIATE_TEST_SUITE_P(Command, YesNoTest, ::testing::ValuesIn(YesNoCases),
                         [](const ::testing::TestParamInfo<YesNoCase>& info) { return info.param.name; });

} // namespace
