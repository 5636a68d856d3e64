// The command as the real DLL runs it: every text it hands the host, channel
// by channel and write by write, and what /S and /S! leave in the real
// registry. Also the host's usage request.
#include <algorithm>
#include <string>
#include <vector>

#include "host_writes.h"
#include "plugin_fixture.h"
#include "saved_settings.h"

namespace {

const DWORD kCtrlPgUp = 0x10084;
const DWORD kCtrlPgDn = 0x10076;
const DWORD kF11 = 0x10085;
const DWORD kF12 = 0x10086;

const std::wstring kHelpText =
    L"Display and change plugin settings.\n"
    L"\n"
    L"MIRVANE /B:key /D /E:yn /F:key /L /R /S /W:yn \r\n"
    L"\n"
    L"\t/B:\tset the back (up) hotkey\n"
    L"\t/D\trestore plugin defaults\n"
    L"\t/E:\tenable or disable the error sound\n"
    L"\t/F:\tset the forward (down) hotkey\n"
    L"\t/L\tlist all supported hotkeys\n"
    L"\t/R\trestore saved settings from the registry\n"
    L"\t/S\tsave current settings to the registry\n"
    L"\t/W:\tenable or disable wrap\n"
    L"\n"
    L"Pressing the \u2018back\u2019 hotkey scrolls the console window back through \n"
    L"previous commands; the \u2018forward\u2019 hotkey scrolls forward.  Only\n"
    L"commands entered after this plugin was loaded are recognized.\n";

// Started as the host starts it; the load message is forgotten so that each
// test sees only what its own commands wrote.
class SettingsCommandTest : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        if (HasFatalFailure())
            return;
        StartPlugin();
        HostReset();
    }

    int Run(const std::wstring& arguments)
    {
        std::vector<WCHAR> line(arguments.begin(), arguments.end());
        line.push_back(0);
        return command(line.data());
    }

    // Runs a command whose output does not matter to the test.
    void Prepare(const std::wstring& arguments)
    {
        EXPECT_EQ(Run(arguments), 0) << Printable(arguments);
        HostReset();
    }
};

TEST_F(SettingsCommandTest, NoArgumentsPrintsTheReport)
{
    EXPECT_EQ(Run(L""), 0);
    EXPECT_EQ(HostWrites(), DefaultReport());
}

TEST_F(SettingsCommandTest, DefaultsUndoEarlierChanges)
{
    Prepare(L"/B:Ctrl-PgUp /F:Ctrl-PgDn /E:N /W:N");

    EXPECT_EQ(Run(L"/D"), 0);
    EXPECT_EQ(HostWrites(), Joined({Out(L"Default plugin settings restored.\r\n")}, DefaultReport()));
}

TEST_F(SettingsCommandTest, HelpIsTheHelpTextInOneWrite)
{
    ASSERT_EQ(kHelpText.size(), 558u);
    EXPECT_EQ(Run(L"/?"), 0);
    EXPECT_EQ(HostWrites(), std::vector<HostWrite>{Out(kHelpText)});
}

TEST_F(SettingsCommandTest, HelpWithVersionAddsTheVersionLine)
{
    EXPECT_EQ(Run(L"/??"), 0);
    EXPECT_EQ(HostWrites(),
              (std::vector<HostWrite>{Out(kHelpText), Out(L"\r\n\t\t\t\t\tMirvane  1.0.1.1 (x64)\r\n")}));
}

// One QPuts per line and one per line end; no report after a listing.
TEST_F(SettingsCommandTest, ListWritesEveryHotkeyOfTheNewerHost)
{
    EXPECT_EQ(Run(L"/L"), 0);
    std::vector<HostWrite> writes = HostWrites();
    ASSERT_EQ(writes.size(), 144u) << "72 lines, each followed by its line end";
    EXPECT_EQ(writes[0], Out(L"F1   Shift-F1   Ctrl-F1   Alt-F1   Ctrl-Shift-F1   Ctrl-Alt-F1   "
                             L"Ctrl-Alt-Shift-F1"));
    for (size_t i = 0; i < writes.size(); i += 2) {
        EXPECT_EQ(writes[i].channel, HostStdout) << "line " << i / 2;
        EXPECT_FALSE(writes[i].text.empty()) << "line " << i / 2;
        EXPECT_EQ(writes[i + 1], Out(L"\r\n")) << "after line " << i / 2;
    }
}

struct RestoreCase {
    const char* name;
    bool userSet;
    bool machineSet;
    std::vector<HostWrite> expected;
};

class RestoreCommandTest : public SettingsCommandTest,
                           public ::testing::WithParamInterface<RestoreCase> {};

// Wrap is switched off first, so that a restore that finds nothing visibly
// leaves the settings as they were.
TEST_P(RestoreCommandTest, RestoresFromTheFirstRootWithAValidSet)
{
    const RestoreCase& c = GetParam();
    if (c.userSet)
        WriteSavedSet(HKEY_CURRENT_USER, {kCtrlPgUp, kCtrlPgDn, 0, 1});
    if (c.machineSet)
        WriteSavedSet(HKEY_LOCAL_MACHINE, {kF11, kF12, 1, 0});
    Prepare(L"/W:N");

    EXPECT_EQ(Run(L"/R"), 0);
    EXPECT_EQ(HostWrites(), c.expected);
}

const RestoreCase kRestores[] = {
    {"UserRoot", true, true,
     Joined({Out(L"Settings restored from the registry (HKCU).\r\n")},
            SettingsReport(L"Ctrl-PgUp", L"Ctrl-PgDn", true, false))},
    {"MachineRoot", false, true,
     Joined({Out(L"Settings restored from the registry (HKLM).\r\n")},
            SettingsReport(L"F11", L"F12", false, true))},
    {"NotFound", false, false,
     Joined({Out(L"Settings not found in the registry.\r\n")},
            SettingsReport(L"Ctrl-Alt-Up", L"Ctrl-Alt-Down", true, false))},
};

INSTANTIATE_TEST_SUITE_P(Roots, RestoreCommandTest, ::testing::ValuesIn(kRestores),
                         [](const ::testing::TestParamInfo<RestoreCase>& info) {
                             return std::string(info.param.name);
                         });

struct ArgumentErrorCase {
    const char* name;
    const WCHAR* arguments;
    const WCHAR* message; // as it reaches standard error, after the prefix
};

class ArgumentErrorTest : public SettingsCommandTest,
                          public ::testing::WithParamInterface<ArgumentErrorCase> {};

// The prefix and the message are two writes to standard error; nothing
// reaches standard output, and nothing read before the error is applied.
TEST_P(ArgumentErrorTest, ReportsOnStandardErrorAndChangesNothing)
{
    const ArgumentErrorCase& c = GetParam();
    EXPECT_EQ(Run(c.arguments), 1);
    EXPECT_EQ(HostWrites(), (std::vector<HostWrite>{Err(L"Mirvane plugin: "), Err(c.message)}));

    HostReset();
    EXPECT_EQ(Run(L""), 0);
    EXPECT_EQ(HostWrites(), DefaultReport());
}

const ArgumentErrorCase kArgumentErrors[] = {
    {"UnknownOption", L"/w:n /x:1", L"Unknown option: \"/X:1\"\r\n"},
    {"SyntaxError", L"/b:ctrl-pgup foo", L"Syntax error: \"FOO\"\r\n"},
    {"UnknownKeyName", L"/b:ctrl-foo", L"Unknown key name: \"/B:CTRL-FOO\"\r\n"},
    {"InvalidHotkey", L"/f=ctrl-c", L"Invalid hotkey: \"/F=CTRL-C\"\r\n"},
    {"KeyNotAllowed", L"/b:a", L"Key not allowed: \"/B:A\"\r\n"},
    {"ExpectedYesOrNo", L"/e:maybe", L"Expected a Y or N: \"/E:MAYBE\"\r\n"},
    {"ListWithSave", L"/b:ctrl-pgup /l /s", L"Can\u2019t combine /L with other options\r\n"},
    {"DefaultsWithRestore", L"/w:n /d /r", L"Can\u2019t combine /D and /R\r\n"},
    // Only ASCII letters are upper-cased, whatever the C runtime would do.
    {"OnlyAsciiUpperCased", L"/b:ctrl-\u00FB", L"Unknown key name: \"/B:CTRL-\u00FB\"\r\n"},
};

INSTANTIATE_TEST_SUITE_P(Kinds, ArgumentErrorTest, ::testing::ValuesIn(kArgumentErrors),
                         [](const ::testing::TestParamInfo<ArgumentErrorCase>& info) {
                             return std::string(info.param.name);
                         });

// A word that fills the tokenizer's buffer is an argument error like any
// other: prefix and message on standard error, and no report.
TEST_F(SettingsCommandTest, WordThatOverflowsTheArgumentBuffer)
{
    EXPECT_EQ(Run(std::wstring(8192, L'x')), 1);
    EXPECT_EQ(HostWrites(), (std::vector<HostWrite>{
                                Err(L"Mirvane plugin: "),
                                Err(L"Buffer overflow: b = 8191, MAX_ARG_LEN = 8192 \r\n")}));
}

// The batch file's name is text, not a format: its percent sign survives.
TEST_F(SettingsCommandTest, ErrorInsideBatchFileNamesFileAndLine)
{
    HostSetVariable(L"_batch", L"1");
    HostSetVariable(L"_batchname", L"C:\\my 100%.btm");
    HostSetVariable(L"_batchline", L"7");

    EXPECT_EQ(Run(L"/x"), 1);
    EXPECT_EQ(HostWrites(), (std::vector<HostWrite>{Err(L"Mirvane plugin: "),
                                                   Err(L"C:\\my 100%.btm [7]  "),
                                                   Err(L"Unknown option: \"/X\"\r\n")}));
}

struct SaveCase {
    const char* name;
    const WCHAR* arguments;
    HKEY root;
    HKEY otherRoot;
    const WCHAR* rootName;
};

class SaveCommandTest : public SettingsCommandTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveCommandTest, StoresExactlyTheFourDwords)
{
    const SaveCase& c = GetParam();
    EXPECT_EQ(Run(c.arguments), 0);
    EXPECT_EQ(HostWrites(),
              Joined(SettingsReport(L"Ctrl-PgUp", L"Ctrl-PgDn", false, true),
                     {Out(std::wstring(L"\r\nSettings saved to the registry (") + c.rootName + L").\r\n")}));

    struct Expected {
        const WCHAR* name;
        DWORD value;
    } const expected[] = {
        {L"ErrorSound", 0}, {L"HotkeyDown", kCtrlPgDn}, {L"HotkeyUp", kCtrlPgUp}, {L"Wrap", 1}};
    for (const Expected& value : expected) {
        QueriedDword stored = QuerySavedDword(c.root, value.name);
        EXPECT_EQ(stored.status, ERROR_SUCCESS) << Printable(value.name);
        EXPECT_EQ(stored.type, (DWORD)REG_DWORD) << Printable(value.name);
        EXPECT_EQ(stored.size, 4u) << Printable(value.name);
        EXPECT_EQ(stored.value, value.value) << Printable(value.name);
    }

    std::vector<StoredValue> all = ReadStoredValues(c.root);
    std::vector<std::wstring> names;
    for (const StoredValue& value : all)
        names.push_back(value.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"ErrorSound", L"HotkeyDown", L"HotkeyUp", L"Wrap"}))
        << "nothing else is written, no default value either";

    EXPECT_FALSE(SettingsKeyExists(c.otherRoot));
}

// A later /S or /S! replaces an earlier one.
const SaveCase kSaves[] = {
    {"User", L"/B:Ctrl-PgUp /F:Ctrl-PgDn /E:N /S", HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, L"HKCU"},
    {"Machine", L"/B:Ctrl-PgUp /F:Ctrl-PgDn /E:N /S!", HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, L"HKLM"},
    {"MachineReplacesUser", L"/s /B:Ctrl-PgUp /F:Ctrl-PgDn /E:N /s!", HKEY_LOCAL_MACHINE,
     HKEY_CURRENT_USER, L"HKLM"},
    {"UserReplacesMachine", L"/S!/S /B:Ctrl-PgUp /F:Ctrl-PgDn /E:N", HKEY_CURRENT_USER,
     HKEY_LOCAL_MACHINE, L"HKCU"},
};

INSTANTIATE_TEST_SUITE_P(Roots, SaveCommandTest, ::testing::ValuesIn(kSaves),
                         [](const ::testing::TestParamInfo<SaveCase>& info) {
                             return std::string(info.param.name);
                         });

// The host's usage buffer: 1024 units. Untouched cells keep the fill.
class UsageRequestTest : public PluginTest {
protected:
    static constexpr WCHAR kFill = 0x2A2A;

    UsageRequestTest() : buffer(1024, kFill) {}

    std::vector<WCHAR> buffer;
};

TEST_F(UsageRequestTest, CommandNameInCapitalsGetsTheSynopsisOn)
{
    WCHAR name[] = L"MIRVANE";
    EXPECT_EQ(usage(name, buffer.data()), 1);
    std::wstring text(buffer.data());
    EXPECT_EQ(text.size(), 521u);
    EXPECT_EQ(text.substr(0, 48), L"MIRVANE /B:key /D /E:yn /F:key /L /R /S /W:yn \r\n");
    EXPECT_EQ(text, kHelpText.substr(37));
}

TEST_F(UsageRequestTest, NameWithHostPrefixIsNotOurs)
{
    WCHAR name[] = L"@mirvane";
    EXPECT_EQ(usage(name, buffer.data()), 0);
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), kFill), 1024) << "buffer was written";
}

} // namespace
