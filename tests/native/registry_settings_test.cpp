#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "plugin/state.h"
#include "settings/registry_settings.h"
#include "standins/host/host_standin.h"
#include "standins/windows/standin_control.h"

namespace {

const std::u16string kPath = u"Software\\Kelderin\\Mirvane";
typedef std::tuple<KeyCode, KeyCode, int32_t, int32_t> Four; // up, down, wrap, sound
// F1 and F2 with both switches off: valid under both tables and unlike what
// the cases store, so a partial load shows.
const Four kBefore{0x1003B, 0x1003C, 0, 0};
enum Generation { Classic, Extended };

struct Stored {
    std::u16string name;
    uint64_t value;
    DWORD type = REG_DWORD;
    size_t size = 4;
};

Four Current()
{
    return {Settings.HotkeyUp, Settings.HotkeyDown, Settings.Wrap, Settings.ErrorSound};
}

void Install(const Four& f)
{
    std::tie(Settings.HotkeyUp, Settings.HotkeyDown, Settings.Wrap, Settings.ErrorSound) = f;
}

void Fresh(Generation generation)
{
    standin::Reset();
    HostReset();
    ResetModuleState();
    Startup.useExtendedKeys = generation;
    Install(kBefore);
}

std::vector<uint8_t> Bytes(uint64_t value, size_t size)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < size; ++i)
        bytes.push_back((uint8_t)(value >> (8 * i)));
    return bytes;
}

// Runs action just before the nth call of api from now on.
void BeforeNthCall(standin::Api api, int n, std::function<void()> action)
{
    if (n <= 1)
        return standin::BeforeCall(api, action);
    standin::BeforeCall(api, [=] { BeforeNthCall(api, n - 1, action); });
}

class RegistrySettingsTest : public ::testing::Test {
protected:
    void SetUp() override { Fresh(Extended); }
    void TearDown() override { EXPECT_EQ(standin::OpenRegistryKeys(), 0); }
};

struct LoadCase {
    const char* name;
    Generation generation;
    std::vector<Stored> values;
    Four after; // kBefore means the load returned 1
};

const Stored kUp{u"HotkeyUp", 0x5008D}, kDown{u"HotkeyDown", 0x50091};

const LoadCase kLoadCases[] = {
    {"complete set", Extended,
     {{u"HotkeyUp", 0x30054}, {u"HotkeyDown", 0x1}, {u"Wrap", 0}, {u"ErrorSound", 1}},
     {0x30054, 0x1, 0, 1}},
    {"equal hotkeys, other values ignored", Classic,
     {{u"Colour", 7}, {u"HotkeyUp", 0x50091}, kDown, {u"Wrap", 1}, {u"ErrorSound", 0}},
     {0x50091, 0x50091, 1, 0}},
    {"HotkeyDown missing drops the switches too", Extended, {kUp, {u"Wrap", 1}, {u"ErrorSound", 1}},
     kBefore},
    {"HotkeyUp 0 means none", Extended, {{u"HotkeyUp", 0}, kDown, {u"Wrap", 1}}, kBefore},
    {"HotkeyUp with a high bit", Extended, {{u"HotkeyUp", 0x8005008D}, kDown}, kBefore},
    {"Ctrl-Alt-Shift-Up, classic host", Classic, {{u"HotkeyUp", 0x7008D}, kDown}, kBefore},
    {"Ctrl-Alt-Shift-Up, extended host", Extended, {{u"HotkeyUp", 0x7008D}, kDown},
     {0x7008D, 0x50091, 1, 1}},
    {"Ctrl-Num-, extended host", Extended, {kUp, {u"HotkeyDown", 0x1004A}}, kBefore},
    {"Ctrl-Num-, classic host", Classic, {kUp, {u"HotkeyDown", 0x1004A}}, {0x5008D, 0x1004A, 1, 1}},
    // Each rejected hotkey below carries a valid code in its first bytes.
    {"HotkeyUp REG_SZ", Extended, {{u"HotkeyUp", 0x5008D, REG_SZ}, kDown}, kBefore},
    {"HotkeyUp REG_BINARY", Extended, {{u"HotkeyUp", 0x5008D, REG_BINARY}, kDown}, kBefore},
    {"HotkeyDown REG_QWORD", Extended, {kUp, {u"HotkeyDown", 0x50091, REG_QWORD, 8}}, kBefore},
    {"HotkeyUp REG_DWORD of 0 bytes", Extended, {{u"HotkeyUp", 0, REG_DWORD, 0}, kDown}, kBefore},
    {"HotkeyUp REG_DWORD of 2 bytes", Extended, {{u"HotkeyUp", 1, REG_DWORD, 2}, kDown}, kBefore},
    {"HotkeyDown REG_DWORD of 8 bytes", Extended, {kUp, {u"HotkeyDown", 0x50091, REG_DWORD, 8}},
     kBefore},
    // Switches keep 0 and 1; anything else, or anything unreadable, is on.
    {"Wrap missing, ErrorSound \"0\"", Extended, {kUp, kDown, {u"ErrorSound", '0', REG_SZ}},
     {0x5008D, 0x50091, 1, 1}},
    {"Wrap 2, ErrorSound 0xFFFFFFFF", Extended,
     {kUp, kDown, {u"Wrap", 2}, {u"ErrorSound", 0xFFFFFFFF}}, {0x5008D, 0x50091, 1, 1}},
    {"Wrap 0xFFFFFFFF, ErrorSound 0", Extended, {kUp, kDown, {u"Wrap", 0xFFFFFFFF}, {u"ErrorSound", 0}},
     {0x5008D, 0x50091, 1, 0}},
    {"switches 0 in 2 and 8 bytes", Extended,
     {kUp, kDown, {u"Wrap", 0, REG_DWORD, 2}, {u"ErrorSound", 0, REG_DWORD, 8}},
     {0x5008D, 0x50091, 1, 1}},
    {"key without values", Extended, {}, kBefore},
};

TEST_F(RegistrySettingsTest, LoadCases)
{
    for (const LoadCase& c : kLoadCases) {
        SCOPED_TRACE(c.name);
        Fresh(c.generation);
        standin::CreateRegistryKey(HKEY_CURRENT_USER, kPath);
        for (const Stored& v : c.values)
            standin::SetRegistryValue(HKEY_CURRENT_USER, kPath, v.name, v.type, Bytes(v.value, v.size));

        EXPECT_EQ(LoadSettings(HKEY_CURRENT_USER), c.after != kBefore);
        EXPECT_EQ(Current(), c.after);
        EXPECT_EQ(standin::OpenRegistryKeys(), 0);
    }
}

TEST_F(RegistrySettingsTest, LoadFromAMissingOrDeniedKeyChangesNothing)
{
    standin::SetRegistryDword(HKEY_LOCAL_MACHINE, kPath, u"HotkeyUp", 0x10048);
    standin::SetRegistryDword(HKEY_LOCAL_MACHINE, kPath, u"HotkeyDown", 0x10050);
    EXPECT_FALSE(LoadSettings(HKEY_CURRENT_USER));
    standin::DenyRegistryAccess(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(LoadSettings(HKEY_LOCAL_MACHINE));
    EXPECT_EQ(Current(), kBefore);
    EXPECT_EQ(standin::CallCount(standin::Api::RegQueryValueExW), 0);
}

TEST_F(RegistrySettingsTest, SaveThenLoadRestoresTheFourFields)
{
    const std::pair<Generation, Four> cases[] = {
        {Extended, {0x5008D, 0x50091, 1, 1}},
        {Extended, {0x1, 0x7003E, 0, 0}},
        {Classic, {0x5004E, 0x5004E, 0, 1}},
        {Classic, {0x1004A, 0x3004A, 1, 0}},
    };
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const auto& [generation, saved] : cases) {
            SCOPED_TRACE(::testing::PrintToString(saved));
            Fresh(generation);
            Install(saved);
            ASSERT_EQ(SaveSettings(root), 0);
            Install(kBefore);
            EXPECT_TRUE(LoadSettings(root));
            EXPECT_EQ(Current(), saved);
        }
    }
}

// Saving creates the path, validates nothing, and leaves other values alone.
TEST_F(RegistrySettingsTest, SaveWritesTheFourDwords)
{
    standin::SetRegistryDword(HKEY_CURRENT_USER, u"Software\\Kelderin", u"Colour", 7);
    Install({-1, 0, 5, -7});
    ASSERT_EQ(SaveSettings(HKEY_CURRENT_USER), 0);

    const std::pair<std::u16string, uint32_t> expected[] = {
        {u"HotkeyUp", 0xFFFFFFFF}, {u"HotkeyDown", 0}, {u"Wrap", 5}, {u"ErrorSound", 0xFFFFFFF9}};
    for (const auto& [name, value] : expected) {
        auto stored = standin::RegistryValue(HKEY_CURRENT_USER, kPath, name);
        ASSERT_TRUE(stored.has_value());
        EXPECT_EQ(stored->type, (DWORD)REG_DWORD);
        EXPECT_EQ(stored->data, Bytes(value, 4));
    }
    EXPECT_EQ(standin::RegistryValueNames(HKEY_CURRENT_USER, kPath).size(), 4u);
    EXPECT_TRUE(standin::RegistryValue(HKEY_CURRENT_USER, u"Software\\Kelderin", u"Colour"));
}

TEST_F(RegistrySettingsTest, SaveWhereTheKeyCannotBeCreatedWritesNothing)
{
    for (bool denied : {true, false}) {
        Fresh(Extended);
        if (denied)
            standin::DenyRegistryAccess(HKEY_LOCAL_MACHINE);
        else
            standin::FailCall(standin::Api::RegCreateKeyExW);
        EXPECT_EQ(SaveSettings(HKEY_LOCAL_MACHINE), ERROR_ACCESS_DENIED);
        EXPECT_FALSE(standin::RegistryKeyExists(HKEY_LOCAL_MACHINE, kPath));
        EXPECT_EQ(standin::CallCount(standin::Api::RegSetValueExW), 0);
    }
}

// A refused write costs only its own value. The writes go in a fixed order,
// so the failing call numbers name the values that must be missing.
TEST_F(RegistrySettingsTest, SaveGoesOnPastFailingWrites)
{
    const char16_t* const names[] = {u"HotkeyUp", u"HotkeyDown", u"Wrap", u"ErrorSound"};
    const std::vector<std::vector<int>> failingSets = {{1}, {2}, {3}, {4}, {1, 3}};
    for (const std::vector<int>& failing : failingSets) {
        SCOPED_TRACE(::testing::PrintToString(failing));
        Fresh(Extended);
        for (int n : failing)
            standin::FailCall(standin::Api::RegSetValueExW, n);

        EXPECT_EQ(SaveSettings(HKEY_CURRENT_USER), ERROR_ACCESS_DENIED);
        for (int i = 0; i < 4; ++i) {
            bool refused = std::count(failing.begin(), failing.end(), i + 1) != 0;
            EXPECT_EQ(standin::RegistryValue(HKEY_CURRENT_USER, kPath, names[i]).has_value(), !refused)
                << "value " << i;
        }
        EXPECT_EQ(standin::OpenRegistryKeys(), 0);
    }
}

// The first write is refused (access denied); the key then vanishes under
// the last one (invalid handle). The later failure is the one reported.
TEST_F(RegistrySettingsTest, SaveReportsTheLastFailure)
{
    standin::FailCall(standin::Api::RegSetValueExW, 1);
    BeforeNthCall(standin::Api::RegSetValueExW, 4, [] { standin::Reset(); });
    EXPECT_EQ(SaveSettings(HKEY_CURRENT_USER), ERROR_INVALID_HANDLE);
}

} // namespace
