#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "plugin/state.h"
#include "settings/registry_settings.h"
#include "test_support.h"

namespace {

const std::u16string KeyPath = SettingsKey;
typedef std::tuple<KeyCode, KeyCode, int32_t, int32_t> Four; // up, down, wrap, sound
// F1 and F2 with both switches off: valid under both tables and unlike what
// the cases store, so a partial load shows.
const Four Before{0x1003B, 0x1003C, 0, 0};
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
    FreshProcess();
    Startup.useExtendedKeys = generation;
    Install(Before);
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

TEST_F(RegistrySettingsTest, LoadFromAMissingOrDeniedKeyChangesNothing)
{
    standin::SetRegistryDword(HKEY_LOCAL_MACHINE, KeyPath, u"HotkeyUp", 0x10048);
    standin::SetRegistryDword(HKEY_LOCAL_MACHINE, KeyPath, u"HotkeyDown", 0x10050);
    EXPECT_FALSE(LoadSettings(HKEY_CURRENT_USER));
    standin::DenyRegistryAccess(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(LoadSettings(HKEY_LOCAL_MACHINE));
    EXPECT_EQ(Current(), Before);
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
            Install(Before);
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
        auto stored = standin::RegistryValue(HKEY_CURRENT_USER, KeyPath, name);
        ASSERT_TRUE(stored.has_value());
        EXPECT_EQ(stored->type, (DWORD)REG_DWORD);
        EXPECT_EQ(stored->data, Bytes(value, 4));
    }
    EXPECT_EQ(standin::RegistryValueNames(HKEY_CURRENT_USER, KeyPath).size(), 4u);
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
        EXPECT_FALSE(standin::RegistryKeyExists(HKEY_LOCAL_MACHINE, KeyPath));
        EXPECT_EQ(standin::CallCount(standin::Api::RegSetValueExW), 0);
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
