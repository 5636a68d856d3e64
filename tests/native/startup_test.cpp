#include <string.h>

#include "host/exports.h"
#include "navigation/navigation.h"
#include "plugin/startup.h"
#include "settings/registry_settings.h"
#include "test_support.h"

using standin::Api;

namespace {

const std::u16string kKeyPath = u"Software\\Kelderin\\Mirvane";

void SaveSet(HKEY root, DWORD up, DWORD down, DWORD wrap, DWORD sound)
{
    standin::SetRegistryDword(root, kKeyPath, u"HotkeyUp", up);
    standin::SetRegistryDword(root, kKeyPath, u"HotkeyDown", down);
    standin::SetRegistryDword(root, kKeyPath, u"Wrap", wrap);
    standin::SetRegistryDword(root, kKeyPath, u"ErrorSound", sound);
}

// Nothing start-up could have touched differs from its load-time value.
bool AsLoaded()
{
    return Settings.HotkeyUp == DefaultSettings.HotkeyUp &&
           Settings.HotkeyDown == DefaultSettings.HotkeyDown && Settings.Wrap == 1 &&
           Settings.ErrorSound == 1 && Startup.markerAttribute == LoadTimeFacts.markerAttribute &&
           Startup.hostVersion == 0 && !Startup.useExtendedKeys && visibleMarker == 0 && ErrorBeep.armed;
}

const char16_t kDefaultLoadMessage[] =
    u"Mirvane v1.0.1 loaded.  Back: Ctrl-Alt-Up, forward: Ctrl-Alt-Down.\r\n";

class StartupTest : public PluginTest {};

TEST_F(StartupTest, ShellsOtherThanInteractiveAreRefusedWithoutSideEffects)
{
    struct Case {
        const char16_t* transient;
        const char16_t* pipe;
    } cases[] = {{u"0", u"1"}, {u"1", u"0"}, {u"1", u"1"}, {u"00", u"0"},
                 {u"0", u""},  {u"", u""},   {u"", u"0"}, {u" 0", u"0"}};
    for (const Case& c : cases) {
        SetUp();
        standin::SetEnvironment(u"NoLoadMsg", std::nullopt);
        SaveSet(HKEY_CURRENT_USER, 0x10048, 0x10050, 0, 0);
        HostSetVariable(u"_transient", c.transient);
        HostSetVariable(u"_pipe", c.pipe);
        std::u16string shown = std::u16string(c.transient) + u"|" + c.pipe;
        EXPECT_EQ(InitializePlugin(), 1) << Narrow(shown);
        EXPECT_TRUE(AsLoaded()) << Narrow(shown);
        EXPECT_EQ(HostWriteCount(), 0) << Narrow(shown);
        EXPECT_EQ(HostExpandCount(), 1) << Narrow(shown);
        EXPECT_EQ(standin::CallCount(Api::GetEnvironmentVariableW), 0);
        EXPECT_EQ(standin::CallCount(Api::RegOpenKeyExW), 0);
        EXPECT_EQ(standin::CallCount(Api::GetModuleHandleW), 0);
    }
}

TEST_F(StartupTest, HostVersionChoosesTheKeyTableGeneration)
{
    struct Case {
        const char16_t* text;
        uint32_t hostVersion;
        int32_t useExtendedKeys;
    } cases[] = {
        {u"23.0", 23, 0}, {u"24.0", 24, 1}, {u"100", 100, 1}, {u"101", 0, 0},
        {u"8", 8, 0},     {u"7", 0, 0},     {u"", 0, 0},      {u"abc", 0, 0},
        {u" 30x", 30, 1}, {u"+25", 25, 1},  {u"-24", 0, 0},   {u"99999999999", 0, 0},
        {u"4294967320", 0, 0}, // would wrap to 24 in 32 bits: overflow instead
    };
    for (const Case& c : cases) {
        SetUp();
        HostSetVariable(u"_4ver", c.text);
        ASSERT_EQ(InitializePlugin(), 0);
        EXPECT_EQ(Startup.hostVersion, c.hostVersion) << Narrow(c.text);
        EXPECT_EQ(Startup.useExtendedKeys, c.useExtendedKeys) << Narrow(c.text);
    }
}

// Host expansions are untrusted: any length, and a host may fill the buffer
// to the brim and leave no terminator. Whatever comes back is read within
// the 1024 units (the sanitizer build catches a read past them).
TEST_F(StartupTest, ShellTestRefusesAFullBuffer)
{
    struct Case {
        const char* name;
        std::u16string transient, pipe;
    } cases[] = {
        {"1024 zeros", u"0", std::u16string(1023, u'0')},
        {"00 then 5000 more", u"00", std::u16string(5000, u'x')},
    };
    for (int unterminated = 0; unterminated <= 1; ++unterminated) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (unterminated ? ", unterminated" : ""));
            SetUp();
            HostSetExpandUnterminated(unterminated);
            HostSetVariable(u"_transient", c.transient.c_str());
            HostSetVariable(u"_pipe", c.pipe.c_str());
            EXPECT_EQ(InitializePlugin(), 1);
            EXPECT_TRUE(AsLoaded());
            EXPECT_EQ(HostWriteCount(), 0);
            EXPECT_EQ(standin::CallCount(Api::RegOpenKeyExW), 0);
        }
    }
}

TEST_F(StartupTest, HostVersionWithinAFullBuffer)
{
    struct Case {
        const char* name;
        std::u16string text;
        uint32_t hostVersion;
    } cases[] = {
        {"1023 digits, leading zeros", std::u16string(1021, u'0') + u"24", 24},
        {"1023 digits", u"24" + std::u16string(1021, u'0'), 0},
        {"1024 digits", u"24" + std::u16string(1022, u'0'), 0},
        {"5000 digits", u"24" + std::u16string(4998, u'0'), 0},
    };
    for (int unterminated = 0; unterminated <= 1; ++unterminated) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (unterminated ? ", unterminated" : ""));
            SetUp();
            HostSetExpandUnterminated(unterminated);
            HostSetVariable(u"_4ver", c.text.c_str());
            ASSERT_EQ(InitializePlugin(), 0);
            EXPECT_EQ(Startup.hostVersion, c.hostVersion);
            EXPECT_EQ(Startup.useExtendedKeys, c.hostVersion >= 24 ? 1 : 0);
        }
    }
}

TEST_F(StartupTest, WindowsVersionChoosesTheMarkerBit)
{
    struct Case {
        const char* name;
        bool rtlPresent;
        DWORD rtlMajor, rtlMinor, rtlBuild;
        bool getVersionExWorks;
        DWORD major, minor, build;
        WORD marker;
    } cases[] = {
        {"10.0.19040", true, 10, 0, 19040, true, 6, 2, 9200, 0x2000},
        {"10.0.19041", true, 10, 0, 19041, true, 6, 2, 9200, 0x0800},
        {"10.0.22000", true, 10, 0, 22000, true, 6, 2, 9200, 0x0800},
        {"10.1.0", true, 10, 1, 0, true, 6, 2, 9200, 0x0800},
        {"11.0.0", true, 11, 0, 0, true, 6, 2, 9200, 0x0800},
        {"6.3.9600", true, 6, 3, 9600, true, 6, 2, 9200, 0x2000},
        {"no RtlGetVersion", false, 0, 0, 0, true, 10, 0, 19041, 0x0800},
        {"RtlGetVersion says 5", true, 5, 1, 2600, true, 10, 0, 22621, 0x0800},
        {"nothing answers", false, 0, 0, 0, false, 0, 0, 0, 0x2000},
    };
    for (const Case& c : cases) {
        SetUp();
        standin::SetRtlGetVersion(c.rtlPresent, c.rtlMajor, c.rtlMinor, c.rtlBuild);
        standin::SetGetVersionEx(c.getVersionExWorks, c.major, c.minor, c.build);
        ASSERT_EQ(InitializePlugin(), 0);
        EXPECT_EQ(Startup.markerAttribute, c.marker) << c.name;
    }
}

TEST_F(StartupTest, InfoRecordIsStableAndComplete)
{
    PluginInfoRecord* first = GetPluginInfo();
    ASSERT_EQ(InitializePlugin(), 0);
    PluginInfoRecord* second = GetPluginInfo();
    EXPECT_EQ(first, second);
    EXPECT_EQ(std::u16string(second->Name), u"Mirvane");
    EXPECT_EQ(std::u16string(second->Description), u"Mirvane plugin");
    EXPECT_EQ(std::u16string(second->Functions), u"mirvane,*key");
    EXPECT_EQ(second->MajorVersion, 1u);
    EXPECT_EQ(second->MinorVersion, 0u);
    EXPECT_EQ(second->BuildNumber, 1u);
    uint8_t zeros[20] = {};
    EXPECT_EQ(memcmp(second->Reserved, zeros, sizeof zeros), 0);
}

TEST_F(StartupTest, LoadMessageFollowsNoLoadMsg)
{
    struct Case {
        const char* name;
        std::optional<std::u16string> value;
        bool printed;
    } cases[] = {
        {"unset", std::nullopt, true},
        {"empty", std::u16string(), true},
        {"zero", std::u16string(u"0"), false},
        {"any text", std::u16string(u"yes please"), false},
        {"1023 units", std::u16string(1023, u'x'), false},
        {"longer than the buffer", std::u16string(5000, u'x'), false},
    };
    for (const Case& c : cases) {
        SetUp();
        standin::SetEnvironment(u"NoLoadMsg", c.value);
        SaveSet(HKEY_CURRENT_USER, 0x10048, 0x10050, 0, 1);
        ASSERT_EQ(InitializePlugin(), 0) << c.name;
        EXPECT_EQ(HostStdoutText(), c.printed ? u"Mirvane v1.0.1 loaded.  Back: Up, forward: Down.\r\n"
                                              : u"")
            << c.name;
        EXPECT_EQ(Settings.HotkeyUp, 0x10048) << c.name; // loaded all the same
        EXPECT_EQ(Settings.Wrap, 0) << c.name;
    }
}

// The host version is expanded after NoLoadMsg is read; sharing one buffer
// would make every start look silenced.
TEST_F(StartupTest, HostVersionDoesNotSilenceTheMessage)
{
    HostSetVariable(u"_4ver", u"24.0");
    ASSERT_EQ(InitializePlugin(), 0);
    EXPECT_EQ(HostStdoutText(), kDefaultLoadMessage);
    EXPECT_EQ(HostStderrText(), u"");
}

TEST_F(StartupTest, SavedSettingsComeFromOneRootOnly)
{
    struct Case {
        const char* name;
        bool userSet, userComplete, machineSet;
        KeyCode up, down;
        int32_t wrap, sound;
        int registryOpens;
    } cases[] = {
        {"none saved", false, false, false, DefaultSettings.HotkeyUp, DefaultSettings.HotkeyDown, 1, 1, 2},
        {"user only", true, true, false, 0x10049, 0x10051, 0, 0, 1},
        {"user over machine", true, true, true, 0x10049, 0x10051, 0, 0, 1},
        {"user incomplete, machine complete", true, false, true, 0x1003B, 0x1003C, 0, 1, 2},
        {"machine only", false, false, true, 0x1003B, 0x1003C, 0, 1, 2},
    };
    for (const Case& c : cases) {
        SetUp();
        if (c.userSet) {
            SaveSet(HKEY_CURRENT_USER, 0x10049, 0x10051, 0, 0);
            if (!c.userComplete)
                SaveSet(HKEY_CURRENT_USER, 0x10049, 0, 0, 0); // HotkeyDown 0 is no hotkey
        }
        if (c.machineSet)
            SaveSet(HKEY_LOCAL_MACHINE, 0x1003B, 0x1003C, 0, 1);
        ASSERT_EQ(InitializePlugin(), 0) << c.name;
        EXPECT_EQ(Settings.HotkeyUp, c.up) << c.name;
        EXPECT_EQ(Settings.HotkeyDown, c.down) << c.name;
        EXPECT_EQ(Settings.Wrap, c.wrap) << c.name;
        EXPECT_EQ(Settings.ErrorSound, c.sound) << c.name;
        EXPECT_EQ(standin::CallCount(Api::RegOpenKeyExW), c.registryOpens) << c.name;
        EXPECT_EQ(standin::OpenRegistryKeys(), 0) << c.name;
    }
}

TEST_F(StartupTest, OlderHostNamesHotkeysFromItsOwnTable)
{
    HostSetVariable(u"_4ver", u"23.0");
    SaveSet(HKEY_CURRENT_USER, 0x1004A, 0x3004A, 1, 1); // Ctrl-Num- and the shared Num+/Num- cell
    ASSERT_EQ(InitializePlugin(), 0);
    EXPECT_EQ(HostStdoutText(),
              u"Mirvane v1.0.1 loaded.  Back: Ctrl-Num-, forward: Ctrl-Shift-Num+.\r\n");
}

TEST_F(StartupTest, ExtendedOnlyHotkeysAreRejectedUnderAnOlderHost)
{
    HostSetVariable(u"_4ver", u"23.0");
    SaveSet(HKEY_CURRENT_USER, 0x7008D, 0x50091, 0, 0);
    ASSERT_EQ(InitializePlugin(), 0);
    EXPECT_EQ(Settings.HotkeyUp, DefaultSettings.HotkeyUp);
    EXPECT_EQ(Settings.Wrap, 1);
    EXPECT_EQ(HostStdoutText(), kDefaultLoadMessage);
}

// A beep timer left pending at shutdown would call into an unloaded module;
// after a restart the beep must still work.
TEST_F(StartupTest, ShutdownCancelsThePendingBeepTimer)
{
    ASSERT_EQ(InitializePlugin(), 0);
    ScrollToMarkedRow(1); // no tags: fails and beeps
    ASSERT_EQ(standin::Beeps().size(), 1u);
    ASSERT_EQ(standin::Timers().size(), 1u);
    EXPECT_EQ(ShutdownPlugin(FALSE), 0);
    EXPECT_TRUE(standin::Timers().empty());
    ASSERT_EQ(InitializePlugin(), 0);
    ScrollToMarkedRow(1);
    EXPECT_EQ(standin::Beeps().size(), 2u);
    EXPECT_EQ(ShutdownPlugin(FALSE), 0);
    EXPECT_EQ(ShutdownPlugin(FALSE), 0); // nothing pending: nothing to kill
    EXPECT_EQ(standin::CallCount(Api::KillTimer), 2);
}

} // namespace
