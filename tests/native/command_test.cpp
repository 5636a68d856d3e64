#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/exports.h"
#include "hotkeys/key_names.h"
#include "plugin/help.h"
#include "plugin/state.h"
#include "settings/arguments.h"
#include "settings/command.h"
#include "standins/host/host_standin.h"
#include "standins/windows/standin_control.h"

namespace {

typedef std::u16string Text;

const Text kKeyPath = u"Software\\Kelderin\\Mirvane";

struct Values {
    KeyCode up;
    KeyCode down;
    int32_t wrap;
    int32_t sound;
    int32_t visible;
};

bool operator==(const Values& a, const Values& b)
{
    return a.up == b.up && a.down == b.down && a.wrap == b.wrap && a.sound == b.sound &&
           a.visible == b.visible;
}

void PrintTo(const Values& v, std::ostream* os)
{
    *os << std::hex << "{up 0x" << v.up << ", down 0x" << v.down << std::dec << ", wrap " << v.wrap
        << ", sound " << v.sound << ", visible " << v.visible << "}";
}

// Classic key table (the load-time generation).
enum : KeyCode {
    CtrlUp = 0x1008D,
    CtrlDown = 0x10091,
    CtrlPgUp = 0x10084,
    CtrlHome = 0x10077,
    AltSlash = 0x10035,
};

const Values kDefaults = {DefaultSettings.HotkeyUp, DefaultSettings.HotkeyDown, 1, 1, 0};
const Values kCustom = {CtrlHome, CtrlPgUp, 0, 0, 0};
// What the stand-in registry holds under each root when a row asks for it.
const Values kUserSaved = {CtrlUp, CtrlDown, 1, 0, 0};
const Values kMachineSaved = {CtrlPgUp, CtrlHome, 1, 1, 0};

Values With(Values v, int32_t Values::*field, int32_t value)
{
    v.*field = value;
    return v;
}

Values Current()
{
    return {Settings.HotkeyUp, Settings.HotkeyDown, Settings.Wrap, Settings.ErrorSound, visibleMarker};
}

void Install(const Values& v)
{
    Settings.HotkeyUp = v.up;
    Settings.HotkeyDown = v.down;
    Settings.Wrap = v.wrap;
    Settings.ErrorSound = v.sound;
    visibleMarker = v.visible;
}

void Store(HKEY root, const Values& v)
{
    standin::SetRegistryDword(root, kKeyPath, u"HotkeyUp", (DWORD)v.up);
    standin::SetRegistryDword(root, kKeyPath, u"HotkeyDown", (DWORD)v.down);
    standin::SetRegistryDword(root, kKeyPath, u"Wrap", (DWORD)v.wrap);
    standin::SetRegistryDword(root, kKeyPath, u"ErrorSound", (DWORD)v.sound);
}

DWORD StoredDword(HKEY root, const Text& name)
{
    auto value = standin::RegistryValue(root, kKeyPath, name);
    if (!value || value->type != REG_DWORD || value->data.size() != 4)
        return 0xDEADBEEF;
    const std::vector<uint8_t>& d = value->data;
    return (DWORD)d[0] | (DWORD)d[1] << 8 | (DWORD)d[2] << 16 | (DWORD)d[3] << 24;
}

Text Report(const Text& back, const Text& forward, bool sound, bool wrap)
{
    return u"\r\nMirvane v1.0.1 options:\r\n\n"
           u"    Back hotkey  . . . . . . . /B: " + back + u"\r\n"
           u"    Forward hotkey . . . . . . /F: " + forward + u"\r\n"
           u"    Error sound  . . . . . . . /E: " + (sound ? u"Yes" : u"No") + u"\r\n"
           u"    Wrap . . . . . . . . . . . /W: " + (wrap ? u"Yes" : u"No") + u"\r\n";
}

const Text kDefaultReport = Report(u"Ctrl-Alt-Up", u"Ctrl-Alt-Down", true, true);

Text Err(const Text& message)
{
    return u"Mirvane plugin: " + message;
}

Text HelpOutput()
{
    return Text(HelpText);
}

// Produced by the listing itself, so that these rows test the command's
// routing and leave the listing's content to its own tests.
Text ListOutput()
{
    HostReset();
    ListHotkeys();
    Text out = HostOutput(HostStdout);
    HostReset();
    return out;
}

enum Stored { StoredNothing, StoredUser, StoredMachine, StoredBoth };

struct Scenario {
    const char* name;
    Text arguments;
    Text out;
    Text err;
    int result;
    Values after;
    Values before = kDefaults;
    Stored stored = StoredNothing;
    HKEY savedTo = nullptr;  // the one root whose key must hold `after`
    HKEY denied = nullptr;   // registry access refused under this root
};

void PrintTo(const Scenario& s, std::ostream* os)
{
    *os << s.name;
}

class CommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        standin::Reset();
        HostReset();
        ResetModuleState();
    }
};

class ScenarioTest : public CommandTest, public ::testing::WithParamInterface<Scenario> {};

std::vector<Scenario> Scenarios()
{
    const Text restored = u"Default plugin settings restored.\r\n";
    const Text combineL = Err(u"Can\u2019t combine /L with other options\r\n");
    const Text list = ListOutput();
    auto unknownOption = [](const Text& a) { return Err(u"Unknown option: \"" + a + u"\"\r\n"); };
    auto unknownKey = [](const Text& a) { return Err(u"Unknown key name: \"" + a + u"\"\r\n"); };
    auto expectedYN = [](const Text& a) { return Err(u"Expected a Y or N: \"" + a + u"\"\r\n"); };
    auto syntax = [](const Text& a) { return Err(u"Syntax error: \"" + a + u"\"\r\n"); };

    return {
        // Reading the arguments.
        {"NoArguments", u"", kDefaultReport, u"", 0, kDefaults},
        {"QuotedWhitespaceSkipped", u"\" \"", kDefaultReport, u"", 0, kDefaults},
        {"HelpWinsBeforeBadOption", u"/? /X", HelpOutput(), u"", 0, kDefaults},
        {"BadOptionBeforeHelp", u"/X /?", u"", unknownOption(u"/X"), 1, kDefaults},
        {"HelpWithVersion", u"/??", HelpOutput() + u"\r\n\t\t\t\t\tMirvane  1.0.1.1 (x64)\r\n", u"", 0, kDefaults},
        {"TripleQuestionUnknown", u"/???", u"", unknownOption(u"/???"), 1, kDefaults},
        {"DefaultsTakeNothingBehind", u"/Dx", u"", unknownOption(u"/DX"), 1, kCustom, kCustom},
        {"SaveTakesNothingBehind", u"/SAVE", u"", unknownOption(u"/SAVE"), 1, kDefaults},
        {"MachineSaveTakesNothingBehind", u"/S!x", u"", unknownOption(u"/S!X"), 1, kDefaults},
        {"ListTakesNothingBehind", u"/Lx", u"", unknownOption(u"/LX"), 1, kDefaults},
        {"LowerCaseDefaults", u"/d", restored + kDefaultReport, u"", 0, kDefaults, kCustom},
        {"PlainWordIsSyntaxError", u"foo", u"", syntax(u"FOO"), 1, kDefaults},
        {"DashIsNoSwitch", u"-B:Ctrl-Up", u"", syntax(u"-B:CTRL-UP"), 1, kDefaults},
        {"PendingDroppedOnLaterError", u"/W:N /B:Ctrl-Up /X", u"", unknownOption(u"/X"), 1, kDefaults},

        // Key names.
        {"BackWordIsAKeyName", u"/Back:Ctrl-Up", u"", unknownKey(u"/BACK:CTRL-UP"), 1, kDefaults},
        {"BackAlone", u"/B", u"", unknownKey(u"/B"), 1, kDefaults},
        {"QuotedSlashKeyReachesKeyNames", u"/B:\"Ctrl-/\"", u"",
         Err(u"Invalid hotkey: \"/B:CTRL-/\"\r\n"), 1, kDefaults},
        {"UnquotedSlashKeyIsCut", u"/B:Ctrl-/", u"", unknownKey(u"/B:CTRL-"), 1, kDefaults},
        {"QuotedSlashKeyAccepted", u"/B:\"Alt-/\"", Report(u"Alt-/", u"Ctrl-Alt-Down", true, true), u"", 0,
         {AltSlash, DefaultSettings.HotkeyDown, 1, 1, 0}},
        {"KeyNotAllowed", u"/B:A", u"", Err(u"Key not allowed: \"/B:A\"\r\n"), 1, kDefaults},
        {"InvalidForwardHotkey", u"/f:ctrl-c", u"", Err(u"Invalid hotkey: \"/F:CTRL-C\"\r\n"), 1, kDefaults},
        {"OnlyAsciiUpperCased", u"/b:\u00e9t\u00e9", u"", unknownKey(u"/B:\u00e9T\u00e9"), 1, kDefaults},
        {"ThreeKeyNameForms", u"/F=Ctrl-PgUp /BCtrl-Home",
         Report(u"Ctrl-Home", u"Ctrl-PgUp", true, true), u"", 0, {CtrlHome, CtrlPgUp, 1, 1, 0}},
        {"SameKeyBothWays", u"/B:Ctrl-Up /F:ctrl-up", Report(u"Ctrl-Up", u"Ctrl-Up", true, true), u"", 0,
         {CtrlUp, CtrlUp, 1, 1, 0}},

        // Y/N values.
        {"WrapWordOff", u"/Wrap:N", Report(u"Ctrl-Alt-Up", u"Ctrl-Alt-Down", true, false), u"", 0,
         With(kDefaults, &Values::wrap, 0)},
        {"SoundYes", u"/E:Yes", Report(u"Ctrl-Home", u"Ctrl-PgUp", true, false), u"", 0,
         With(kCustom, &Values::sound, 1), kCustom},
        {"SoundYellowIsYes", u"/E:yellow", Report(u"Ctrl-Home", u"Ctrl-PgUp", true, false), u"", 0,
         With(kCustom, &Values::sound, 1), kCustom},
        {"SoundWordYes", u"/Error:Yes", Report(u"Ctrl-Home", u"Ctrl-PgUp", true, false), u"", 0,
         With(kCustom, &Values::sound, 1), kCustom},
        {"EqualsAndLowerCaseNo", u"/E=n /w:no", Report(u"Ctrl-Alt-Up", u"Ctrl-Alt-Down", false, false), u"", 0,
         {DefaultSettings.HotkeyUp, DefaultSettings.HotkeyDown, 0, 0, 0}},
        {"LetterTakenForName", u"/EY", u"", expectedYN(u"/EY"), 1, kDefaults},
        {"NoValue", u"/E", u"", expectedYN(u"/E"), 1, kDefaults},
        {"EmptyValue", u"/E:", u"", expectedYN(u"/E:"), 1, kDefaults},
        {"DigitValue", u"/e:1", u"", expectedYN(u"/E:1"), 1, kDefaults},
        {"VisibleShortForm", u"/V:Y", kDefaultReport, u"", 0, With(kDefaults, &Values::visible, 1)},
        {"VisibleLongForm", u"/Visible:Y", kDefaultReport, u"", 0, With(kDefaults, &Values::visible, 1)},
        {"VisibleOff", u"/vm:n", kDefaultReport, u"", 0, kDefaults, With(kDefaults, &Values::visible, 1)},
        {"VisibleStaysAfterLaterError", u"/VM:Y /X", u"", unknownOption(u"/X"), 1,
         With(kDefaults, &Values::visible, 1)},

        // Listing.
        {"ListIgnoresHotkey", u"/L /B:Ctrl-Up", list, u"", 0, kDefaults},
        {"ListStillValidates", u"/L /B:Ctrl-Foo", u"", unknownKey(u"/B:CTRL-FOO"), 1, kDefaults},
        {"ListWithSave", u"/L /S", u"", combineL, 1, kDefaults},
        {"ListWithMachineSave", u"/s! /l", u"", combineL, 1, kDefaults},
        {"ListWithDefaults", u"/L /D", u"", combineL, 1, kCustom, kCustom},
        {"ListWithRestore", u"/R /L", u"", combineL, 1, kDefaults, kDefaults, StoredUser},
        {"ListArgumentsReadFirst", u"/L /X", u"", unknownOption(u"/X"), 1, kDefaults},
        {"ListAndVisible", u"/L /VM:Y", list, u"", 0, With(kDefaults, &Values::visible, 1)},

        // Defaults and saved settings.
        {"DefaultsThenBackHotkey", u"/D /B:Ctrl-PgUp",
         restored + Report(u"Ctrl-PgUp", u"Ctrl-Alt-Down", true, true), u"", 0,
         {CtrlPgUp, DefaultSettings.HotkeyDown, 1, 1, 0}, kCustom},
        {"DefaultsKeepVisible", u"/D", restored + kDefaultReport, u"", 0, With(kDefaults, &Values::visible, 1),
         With(kCustom, &Values::visible, 1)},
        {"DefaultsWithRestore", u"/D /R", u"", Err(u"Can\u2019t combine /D and /R\r\n"), 1, kCustom, kCustom,
         StoredUser},
        {"RestoreFromUser", u"/R /W:N",
         u"Settings restored from the registry (HKCU).\r\n" + Report(u"Ctrl-Up", u"Ctrl-Down", false, false),
         u"", 0, {CtrlUp, CtrlDown, 0, 0, 0}, kCustom, StoredUser},
        {"RestorePrefersUser", u"/R /W:N",
         u"Settings restored from the registry (HKCU).\r\n" + Report(u"Ctrl-Up", u"Ctrl-Down", false, false),
         u"", 0, {CtrlUp, CtrlDown, 0, 0, 0}, kCustom, StoredBoth},
        {"RestoreFromMachine", u"/R /W:N",
         u"Settings restored from the registry (HKLM).\r\n" + Report(u"Ctrl-PgUp", u"Ctrl-Home", true, false),
         u"", 0, {CtrlPgUp, CtrlHome, 0, 1, 0}, kCustom, StoredMachine},
        {"RestoreNotFound", u"/R /W:N",
         u"Settings not found in the registry.\r\n" + Report(u"Ctrl-Home", u"Ctrl-PgUp", false, false), u"", 0,
         kCustom, kCustom},

        // Saving.
        {"SaveUser", u"/W:N /S",
         Report(u"Ctrl-Alt-Up", u"Ctrl-Alt-Down", true, false) + u"\r\nSettings saved to the registry (HKCU).\r\n",
         u"", 0, With(kDefaults, &Values::wrap, 0), kDefaults, StoredNothing, HKEY_CURRENT_USER},
        {"LastSaveWinsMachine", u"/S /S!",
         Report(u"Ctrl-Home", u"Ctrl-PgUp", false, false) + u"\r\nSettings saved to the registry (HKLM).\r\n", u"", 0, kCustom, kCustom,
         StoredNothing, HKEY_LOCAL_MACHINE},
        {"LastSaveWinsUser", u"/s! /s",
         kDefaultReport + u"\r\nSettings saved to the registry (HKCU).\r\n", u"", 0, kDefaults, kDefaults,
         StoredNothing, HKEY_CURRENT_USER},
        {"SaveFailureKeepsSettings", u"/S! /W:N",
         Report(u"Ctrl-Alt-Up", u"Ctrl-Alt-Down", true, false) + u"\r\n",
         Err(u"Error saving settings to the registry (HKLM) :\r\nAccess is denied.\r\n"), 2,
         With(kDefaults, &Values::wrap, 0), kDefaults, StoredNothing, nullptr, HKEY_LOCAL_MACHINE},
        {"OverflowIsAnArgumentError", Text(8192, u'x') + u" /S /W:N", u"",
         Err(u"Buffer overflow: b = 8191, MAX_ARG_LEN = 8192 \r\n"), 1, kCustom, kCustom},
    };
}

TEST_P(ScenarioTest, Runs)
{
    const Scenario& s = GetParam();
    Install(s.before);
    if (s.stored == StoredUser || s.stored == StoredBoth)
        Store(HKEY_CURRENT_USER, kUserSaved);
    if (s.stored == StoredMachine || s.stored == StoredBoth)
        Store(HKEY_LOCAL_MACHINE, kMachineSaved);
    if (s.denied)
        standin::DenyRegistryAccess(s.denied);

    Text arguments = s.arguments;
    EXPECT_EQ(mirvane(&arguments[0]), s.result);
    EXPECT_EQ(Text(HostOutput(HostStdout)), s.out);
    EXPECT_EQ(Text(HostOutput(HostStderr)), s.err);
    EXPECT_EQ(Current(), s.after);

    if (s.savedTo) {
        HKEY other = s.savedTo == HKEY_CURRENT_USER ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        EXPECT_FALSE(standin::RegistryKeyExists(other, kKeyPath));
        EXPECT_EQ(StoredDword(s.savedTo, u"HotkeyUp"), (DWORD)s.after.up);
        EXPECT_EQ(StoredDword(s.savedTo, u"HotkeyDown"), (DWORD)s.after.down);
        EXPECT_EQ(StoredDword(s.savedTo, u"Wrap"), (DWORD)s.after.wrap);
        EXPECT_EQ(StoredDword(s.savedTo, u"ErrorSound"), (DWORD)s.after.sound);
    } else if (s.stored == StoredNothing) {
        EXPECT_FALSE(standin::RegistryKeyExists(HKEY_CURRENT_USER, kKeyPath));
        EXPECT_FALSE(standin::RegistryKeyExists(HKEY_LOCAL_MACHINE, kKeyPath));
    }
}

INSTANTIATE_TEST_SUITE_P(Command, ScenarioTest, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.name; });

TEST_F(CommandTest, NullArgumentsGiveOneSilently)
{
    EXPECT_EQ(mirvane(nullptr), 1);
    EXPECT_EQ(HostWriteCount(), 0);
    EXPECT_EQ(Current(), kDefaults);
}

// The report must be complete on standard output before the failure is
// reported, and the prefix must open the error.
TEST_F(CommandTest, SaveFailureWritesInOrder)
{
    standin::DenyRegistryAccess(HKEY_LOCAL_MACHINE);
    Text arguments = u"/S!";
    ASSERT_EQ(mirvane(&arguments[0]), 2);

    int n = HostWriteCount();
    ASSERT_GE(n, 9);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(HostWriteChannel(i), HostStdout) << i;
    EXPECT_EQ(HostWriteChannel(n - 4), HostStdout);
    EXPECT_EQ(Text(HostWriteText(n - 4)), u"\r\n");
    EXPECT_EQ(HostWriteChannel(n - 3), HostStderr);
    EXPECT_EQ(Text(HostWriteText(n - 3)), u"Mirvane plugin: ");
    EXPECT_EQ(HostWriteChannel(n - 2), HostStderr);
    EXPECT_EQ(Text(HostWriteText(n - 2)), u"Error saving settings to the registry (HKLM) :\r\n");
    EXPECT_EQ(HostWriteChannel(n - 1), HostStderr);
    EXPECT_EQ(Text(HostWriteText(n - 1)), u"Access is denied.\r\n");
}

TEST_F(CommandTest, ErrorQuotesArgumentUpperCasedInPlace)
{
    Text arguments = u"/w:y /b:ctrl-foo";
    ASSERT_EQ(mirvane(&arguments[0]), 1);
    EXPECT_EQ(Text(ArgumentList.text[1]), u"/B:CTRL-FOO");
    EXPECT_EQ(Text(ArgumentList.text[0]), u"/w:y"); // only the offending one
}

TEST_F(CommandTest, BatchPrefixPrecedesArgumentError)
{
    HostSetVariable(u"_batch", u"1");
    HostSetVariable(u"_batchname", u"C:\\x.btm");
    HostSetVariable(u"_batchline", u"7");
    Text arguments = u"foo";
    ASSERT_EQ(mirvane(&arguments[0]), 1);
    EXPECT_EQ(Text(HostOutput(HostStderr)), u"Mirvane plugin: C:\\x.btm [7]  Syntax error: \"FOO\"\r\n");
}

struct YesNoCase {
    const char* name;
    Text argument;
    int result;
    int32_t value; // what the pointer holds afterwards; 7 = untouched
    Text quoted;   // the argument as the error quotes it
};

const YesNoCase kYesNoCases[] = {
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

class YesNoTest : public CommandTest, public ::testing::WithParamInterface<YesNoCase> {};

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

INSTANTIATE_TEST_SUITE_P(Command, YesNoTest, ::testing::ValuesIn(kYesNoCases),
                         [](const ::testing::TestParamInfo<YesNoCase>& info) { return info.param.name; });

} // namespace
