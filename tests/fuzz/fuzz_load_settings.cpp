// LoadSettings on any registry contents: either the settings are untouched
// or they are exactly the stored set, valid for the table in force, with the
// copy hotkey stored beside it or none, and the typed filter on only when
// stored as 1.
#include <string.h>

#include "fuzz_support.h"
#include "tests/cases/case_text.h"
#include "hotkeys/key_tables.h"
#include "settings/registry_settings.h"
#include "standins/windows/standin_control.h"

namespace {

const char16_t* const ValueNames[] = {u"HotkeyUp",   u"HotkeyDown", u"Wrap",
                                      u"ErrorSound", u"CopyHotkey", u"TypedFilter"};
enum { ValueCount = ArraySize(ValueNames) };
const DWORD ValueTypes[] = {REG_DWORD, REG_SZ, REG_BINARY, REG_QWORD, REG_NONE, REG_MULTI_SZ};
const size_t ValueSizes[] = {0, 2, 4, 8, 4096};

// Reads one byte or 0 once the input runs out.
struct Reader {
    const uint8_t* data;
    size_t size;
    uint8_t Next() { return size ? (--size, *data++) : 0; }
};

bool SameUserSettings(const UserSettings& a, const UserSettings& b)
{
    return a.HotkeyUp == b.HotkeyUp && a.HotkeyDown == b.HotkeyDown && a.Wrap == b.Wrap &&
           a.ErrorSound == b.ErrorSound && a.CopyHotkey == b.CopyHotkey && a.TypedFilter == b.TypedFilter;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in = {data, size};
    InputProcess process(10, 10);
    Startup.useExtendedKeys = in.Next() & 1;
    // Start from something other than the defaults, so that a partial
    // application would show.
    Settings.HotkeyUp = 0x10049;
    Settings.HotkeyDown = 0x10051;
    Settings.Wrap = 0;
    Settings.ErrorSound = 0;
    Settings.CopyHotkey = 0x10048;
    Settings.TypedFilter = 1;
    UserSettings before = Settings;

    const std::u16string path = SettingsKey;
    standin::CreateRegistryKey(HKEY_CURRENT_USER, path);
    uint32_t stored[ValueCount] = {};
    bool storedAsDword[ValueCount] = {};
    for (int v = 0; v < ValueCount; ++v) {
        uint8_t shape = in.Next();
        if (shape & 0x80)
            continue; // value absent
        DWORD type = ValueTypes[shape % (sizeof ValueTypes / sizeof ValueTypes[0])];
        size_t length = ValueSizes[(shape >> 3) % (sizeof ValueSizes / sizeof ValueSizes[0])];
        std::vector<uint8_t> bytes(length);
        for (size_t i = 0; i < length; ++i)
            bytes[i] = in.Next();
        standin::SetRegistryValue(HKEY_CURRENT_USER, path, ValueNames[v], type, bytes);
        storedAsDword[v] = type == REG_DWORD && length == 4;
        if (storedAsDword[v])
            memcpy(&stored[v], bytes.data(), 4);
    }

    bool loaded = LoadSettings(HKEY_CURRENT_USER);
    CheckInvariants();
    if (!loaded) {
        FUZZ_CHECK(SameUserSettings(Settings, before));
        return 0;
    }
    FUZZ_CHECK(storedAsDword[0] && (KeyCode)stored[0] == Settings.HotkeyUp);
    FUZZ_CHECK(storedAsDword[1] && (KeyCode)stored[1] == Settings.HotkeyDown);
    FUZZ_CHECK(Settings.Wrap == (storedAsDword[2] && stored[2] == 0 ? 0 : 1));
    FUZZ_CHECK(Settings.ErrorSound == (storedAsDword[3] && stored[3] == 0 ? 0 : 1));
    bool copyValid = storedAsDword[4] && IsValidHotkey((KeyCode)stored[4]);
    FUZZ_CHECK(Settings.CopyHotkey == (copyValid ? (KeyCode)stored[4] : 0));
    FUZZ_CHECK(Settings.TypedFilter == (storedAsDword[5] && stored[5] == 1 ? 1 : 0));
    return 0;
}
