// What only the stand-in can show about start-up: the Windows versions that
// choose the marker bit, and the calls a refused or an early-satisfied start
// never makes.
#include "host/exports.h"
#include "test_support.h"

namespace {

using standin::Api;

class StartupCalls : public PluginTest {};

TEST_F(StartupCalls, WindowsVersionChoosesTheMarkerBit)
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
        FreshProcess();
        standin::SetRtlGetVersion(c.rtlPresent, c.rtlMajor, c.rtlMinor, c.rtlBuild);
        standin::SetGetVersionEx(c.getVersionExWorks, c.major, c.minor, c.build);
        ASSERT_EQ(InitializePlugin(), 0);
        EXPECT_EQ(Startup.markerAttribute, c.marker) << c.name;
    }
}

// The shell test comes first: a refused start reads no environment, no
// version and no registry, and changes nothing.
TEST_F(StartupCalls, RefusedStartMakesNoWindowsCall)
{
    standin::SetRegistryDword(HKEY_CURRENT_USER, SettingsKey, u"HotkeyUp", 0x10048);
    HostSetVariable(u"_pipe", u"1");
    EXPECT_EQ(InitializePlugin(), 1);
    EXPECT_TRUE(standin::CallLog().empty());
    EXPECT_EQ(Settings.HotkeyUp, DefaultSettings.HotkeyUp);
    EXPECT_EQ(Startup.markerAttribute, LoadTimeFacts.markerAttribute);
    EXPECT_FALSE(Startup.useExtendedKeys);
}

// Values from the two roots are never mixed: the machine root is not read
// at all once the user root held a valid set.
TEST_F(StartupCalls, MachineRootIsNotOpenedAfterAValidUserSet)
{
    const std::u16string path = SettingsKey;
    standin::SetRegistryDword(HKEY_CURRENT_USER, path, u"HotkeyUp", 0x10049);
    standin::SetRegistryDword(HKEY_CURRENT_USER, path, u"HotkeyDown", 0x10051);
    ASSERT_EQ(InitializePlugin(), 0);
    std::vector<standin::RegistryOpenCall> opens = standin::RegistryOpenCalls();
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].root, HKEY_CURRENT_USER);
}

} // namespace
