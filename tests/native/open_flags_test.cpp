// Every console handle and registry key is opened with exactly the rights
// it needs: the console for reading and writing, shared, never created; the
// settings key read-only to load and read-write to save.
#include "host/exports.h"
#include "settings/registry_settings.h"
#include "test_support.h"

namespace {

class OpenFlagsTest : public PluginTest {};

TEST_F(OpenFlagsTest, ConsoleIsOpenedSharedForReadingAndWriting)
{
    Settings.ErrorSound = 0;
    struct Case {
        const char* name;
        void (*run)();
    } cases[] = {
        {"MarkRow", [] { MarkRow(5); }},
        {"GetCursorRow", [] { GetCursorRow(); }},
        {"ScrollToMarkedRow", [] { ScrollToMarkedRow(1, 0); }},
    };
    for (const Case& c : cases) {
        SetUp();
        c.run();
        std::vector<standin::CreateFileCall> calls = standin::CreateFileCalls();
        ASSERT_EQ(calls.size(), 1u) << c.name;
        const standin::CreateFileCall& call = calls[0];
        EXPECT_EQ(call.name, u"CONOUT$") << c.name;
        EXPECT_EQ(call.access, GENERIC_READ | GENERIC_WRITE) << c.name;
        EXPECT_EQ(call.share, FILE_SHARE_READ | FILE_SHARE_WRITE) << c.name;
        EXPECT_FALSE(call.security) << c.name;
        EXPECT_EQ(call.disposition, (DWORD)OPEN_EXISTING) << c.name;
        EXPECT_EQ(call.flags, 0u) << c.name;
        EXPECT_FALSE(call.templateFile) << c.name;
    }
}

TEST_F(OpenFlagsTest, SettingsKeyIsReadWithReadAccessAndSavedWithReadWrite)
{
    EXPECT_FALSE(LoadSettings(HKEY_LOCAL_MACHINE));
    EXPECT_EQ(SaveSettings(HKEY_CURRENT_USER), 0);
    std::vector<standin::RegistryOpenCall> calls = standin::RegistryOpenCalls();
    ASSERT_EQ(calls.size(), 2u);

    EXPECT_EQ(calls[0].api, standin::Api::RegOpenKeyExW);
    EXPECT_EQ(calls[0].root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(calls[0].path, SettingsKey);
    EXPECT_EQ(calls[0].options, 0u);
    EXPECT_EQ(calls[0].access, 0x20019u);

    EXPECT_EQ(calls[1].api, standin::Api::RegCreateKeyExW);
    EXPECT_EQ(calls[1].root, HKEY_CURRENT_USER);
    EXPECT_EQ(calls[1].path, SettingsKey);
    EXPECT_EQ(calls[1].reserved, 0u);
    EXPECT_FALSE(calls[1].className);
    EXPECT_EQ(calls[1].options, (DWORD)REG_OPTION_NON_VOLATILE);
    EXPECT_EQ(calls[1].access, 0x2001Fu);
    EXPECT_FALSE(calls[1].security);
    EXPECT_FALSE(calls[1].disposition);
}

} // namespace
