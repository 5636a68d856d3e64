// Start-up against the real registry: which saved set is put over the
// defaults, and the load message exactly as the host receives it. The
// settings in force are read back through the command's report, the way a
// user would see them.
#include <string>
#include <vector>

#include "host_writes.h"
#include "plugin_fixture.h"
#include "saved_settings.h"

namespace {

const DWORD kCtrlPgUp = 0x10084;
const DWORD kCtrlPgDn = 0x10076;
const DWORD kCtrlF1 = 0x1005E;
const DWORD kCtrlF2 = 0x1005F;
const DWORD kF11 = 0x10085;
const DWORD kF12 = 0x10086;

std::wstring LoadMessage(const std::wstring& back, const std::wstring& forward)
{
    return L"Mirvane v1.0.1 loaded.  Back: " + back + L", forward: " + forward + L".\r\n";
}

class SavedSettingsStartupTest : public PluginTest {
protected:
    // Starts the plug-in, then shows the settings with the command: the
    // load message (if any) followed by the report.
    std::vector<HostWrite> StartAndReport()
    {
        EXPECT_EQ(initializePlugin(), 0) << "start-up refused";
        WCHAR none[] = L"";
        EXPECT_EQ(command(none), 0);
        return HostWrites();
    }
};

TEST_F(SavedSettingsStartupTest, NothingSavedKeepsTheDefaults)
{
    EXPECT_EQ(StartAndReport(),
              Joined({Out(LoadMessage(L"Ctrl-Alt-Up", L"Ctrl-Alt-Down"))}, DefaultReport()));
}

TEST_F(SavedSettingsStartupTest, ValidUserSetWinsOverMachineSet)
{
    WriteSavedSet(HKEY_CURRENT_USER, {kCtrlPgUp, kCtrlPgDn, 0, 0});
    WriteSavedSet(HKEY_LOCAL_MACHINE, {kF11, kF12, 1, 1});

    EXPECT_EQ(StartAndReport(), Joined({Out(LoadMessage(L"Ctrl-PgUp", L"Ctrl-PgDn"))},
                                       SettingsReport(L"Ctrl-PgUp", L"Ctrl-PgDn", false, false)));
}

// A value missing from a valid user set is its default, not the machine's.
TEST_F(SavedSettingsStartupTest, ValidUserSetIsNotCompletedFromMachineRoot)
{
    WriteSavedDword(HKEY_CURRENT_USER, L"HotkeyUp", kCtrlPgUp);
    WriteSavedDword(HKEY_CURRENT_USER, L"HotkeyDown", kCtrlPgDn);
    WriteSavedDword(HKEY_CURRENT_USER, L"ErrorSound", 0);
    WriteSavedSet(HKEY_LOCAL_MACHINE, {kF11, kF12, 0, 1});

    EXPECT_EQ(StartAndReport(), Joined({Out(LoadMessage(L"Ctrl-PgUp", L"Ctrl-PgDn"))},
                                       SettingsReport(L"Ctrl-PgUp", L"Ctrl-PgDn", false, true)));
}

// Nothing of an incomplete user set survives, not even its Wrap and
// ErrorSound: the machine's set applies whole.
TEST_F(SavedSettingsStartupTest, InvalidUserSetFallsBackToWholeMachineSet)
{
    WriteSavedDword(HKEY_CURRENT_USER, L"HotkeyUp", kCtrlPgUp);
    WriteSavedDword(HKEY_CURRENT_USER, L"Wrap", 1);
    WriteSavedDword(HKEY_CURRENT_USER, L"ErrorSound", 0);
    WriteSavedSet(HKEY_LOCAL_MACHINE, {kCtrlF1, kCtrlF2, 0, 1});

    EXPECT_EQ(StartAndReport(), Joined({Out(LoadMessage(L"Ctrl-F1", L"Ctrl-F2"))},
                                       SettingsReport(L"Ctrl-F1", L"Ctrl-F2", true, false)));
}

TEST_F(SavedSettingsStartupTest, WrapStoredAsStringCountsAsOn)
{
    WriteSavedDword(HKEY_CURRENT_USER, L"HotkeyUp", kCtrlPgUp);
    WriteSavedDword(HKEY_CURRENT_USER, L"HotkeyDown", kCtrlPgDn);
    const WCHAR zero[] = L"0";
    WriteSavedValue(HKEY_CURRENT_USER, L"Wrap", REG_SZ, zero, sizeof zero);
    WriteSavedDword(HKEY_CURRENT_USER, L"ErrorSound", 0);

    EXPECT_EQ(StartAndReport(), Joined({Out(LoadMessage(L"Ctrl-PgUp", L"Ctrl-PgDn"))},
                                       SettingsReport(L"Ctrl-PgUp", L"Ctrl-PgDn", false, true)));
}

// A hotkey of another type than REG_DWORD is rejected whatever it holds,
// and with it the whole user set.
struct WrongTypeCase {
    const char* name;
    const WCHAR* valueName;
    DWORD type;
    std::vector<BYTE> data;
};

class WrongTypeStartupTest : public SavedSettingsStartupTest,
                             public ::testing::WithParamInterface<WrongTypeCase> {};

TEST_P(WrongTypeStartupTest, HotkeyOfAnotherTypeRejectsTheSet)
{
    WriteSavedSet(HKEY_CURRENT_USER, {kCtrlPgUp, kCtrlPgDn, 0, 0});
    const WrongTypeCase& c = GetParam();
    WriteSavedValue(HKEY_CURRENT_USER, c.valueName, c.type, c.data.data(), (DWORD)c.data.size());

    EXPECT_EQ(StartAndReport(),
              Joined({Out(LoadMessage(L"Ctrl-Alt-Up", L"Ctrl-Alt-Down"))}, DefaultReport()));
}

// The content is always a valid code: only the type is wrong.
const WrongTypeCase kWrongTypes[] = {
    {"UpAsString", L"HotkeyUp", REG_SZ, {'6', 0, '5', 0, '6', 0, '6', 0, '8', 0, 0, 0}},
    {"UpAsBinary", L"HotkeyUp", REG_BINARY, {0x84, 0x00, 0x01, 0x00}},
    {"UpAsQword", L"HotkeyUp", REG_QWORD, {0x84, 0x00, 0x01, 0x00, 0, 0, 0, 0}},
    {"DownAsBinary", L"HotkeyDown", REG_BINARY, {0x76, 0x00, 0x01, 0x00}},
    {"DownAsQword", L"HotkeyDown", REG_QWORD, {0x76, 0x00, 0x01, 0x00, 0, 0, 0, 0}},
};

INSTANTIATE_TEST_SUITE_P(Types, WrongTypeStartupTest, ::testing::ValuesIn(kWrongTypes),
                         [](const ::testing::TestParamInfo<WrongTypeCase>& info) {
                             return std::string(info.param.name);
                         });

class LoadMessageTest : public PluginTest {};

TEST_F(LoadMessageTest, IsOneWriteToStandardOutput)
{
    StartPlugin();
    ASSERT_EQ(HostWriteCount(), 1);
    EXPECT_EQ(HostWriteChannel(0), HostStdout);
    EXPECT_EQ(std::wstring(HostWriteText(0)),
              L"Mirvane v1.0.1 loaded.  Back: Ctrl-Alt-Up, forward: Ctrl-Alt-Down.\r\n");
}

// Any value silences it, "0" too; the saved settings still load.
TEST_F(LoadMessageTest, NoLoadMsgSilencesItButSettingsStillLoad)
{
    WriteSavedSet(HKEY_CURRENT_USER, {kCtrlPgUp, kCtrlPgDn, 0, 1});
    ASSERT_TRUE(SetEnvironmentVariableW(L"NoLoadMsg", L"0"));

    StartPlugin();
    EXPECT_EQ(HostWriteCount(), 0) << "first write: " << Printable(HostWriteText(0));

    WCHAR none[] = L"";
    EXPECT_EQ(command(none), 0);
    EXPECT_EQ(HostWrites(), SettingsReport(L"Ctrl-PgUp", L"Ctrl-PgDn", true, false));
}

// The host generation picks the key table: the message names the saved
// hotkeys from it, and a code the table lacks sends the whole set back to
// the defaults.
struct HostVersionCase {
    const char* name;
    const WCHAR* hostVersion;
    DWORD up;
    DWORD down;
    const WCHAR* message;
};

class HostVersionLoadMessageTest : public PluginTest,
                                   public ::testing::WithParamInterface<HostVersionCase> {};

TEST_P(HostVersionLoadMessageTest, NamesSavedHotkeysFromThatHostsTable)
{
    const HostVersionCase& c = GetParam();
    HostSetVariable(L"_4ver", c.hostVersion);
    WriteSavedSet(HKEY_CURRENT_USER, {c.up, c.down, 1, 1});

    StartPlugin();
    EXPECT_EQ(HostWrites(), std::vector<HostWrite>{Out(c.message)});
}

const WCHAR kDefaultMessage[] =
    L"Mirvane v1.0.1 loaded.  Back: Ctrl-Alt-Up, forward: Ctrl-Alt-Down.\r\n";

const HostVersionCase kHostVersions[] = {
    {"CtrlNumMinusUnder23", L"23.0", 0x1004A, 0x50091,
     L"Mirvane v1.0.1 loaded.  Back: Ctrl-Num-, forward: Ctrl-Alt-Down.\r\n"},
    {"CtrlNumMinusRejectedUnder24", L"24.0", 0x1004A, 0x50091, kDefaultMessage},
    // The older table gives Num- and Num+ one Ctrl-Shift code; the later
    // row names it.
    {"SharedNumCodeUnder23", L"23.0", 0x3004A, 0x1004E,
     L"Mirvane v1.0.1 loaded.  Back: Ctrl-Shift-Num+, forward: Ctrl-Num+.\r\n"},
    {"CtrlAltShiftUnder24", L"24.0", 0x7008D, 0x70091,
     L"Mirvane v1.0.1 loaded.  Back: Ctrl-Alt-Shift-Up, forward: Ctrl-Alt-Shift-Down.\r\n"},
    {"CtrlAltShiftRejectedUnder23", L"23.0", 0x7008D, 0x70091, kDefaultMessage},
};

INSTANTIATE_TEST_SUITE_P(Hosts, HostVersionLoadMessageTest, ::testing::ValuesIn(kHostVersions),
                         [](const ::testing::TestParamInfo<HostVersionCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
