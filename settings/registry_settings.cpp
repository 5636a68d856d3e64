#include "settings/registry_settings.h"

#include "hotkeys/key_tables.h"
#include "plugin/state.h"

const WCHAR SettingsKeyPath[] = TEXT("Software\\Kelderin\\Mirvane");

static_assert(KEY_READ == 0x20019, "read access only");
static_assert((KEY_READ | KEY_WRITE) == 0x2001F, "save access");

// A slot the query never filled reads as all one bits: a negative code for a
// hotkey, "on" for a switch.
static const DWORD UnreadSlot = 0xFFFFFFFFu;

// One REG_DWORD value, or UnreadSlot when the value is absent, of another
// type, or its data was not delivered in full. A value stored as REG_DWORD
// with more than four bytes makes the query report the type together with
// ERROR_MORE_DATA, and the slot is then undefined; a shorter one leaves part
// of the slot unwritten. Neither is a number the user saved, so only a
// successful four-byte read counts.
static DWORD QueryDword(HKEY key, const WCHAR* name)
{
    DWORD slot = UnreadSlot;
    DWORD size = sizeof slot;
    DWORD type = 0;
    LSTATUS status = RegQueryValueExW(key, name, NULL, &type, (LPBYTE)&slot, &size);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof slot)
        return UnreadSlot;
    return slot;
}

// Only 0 and 1 are taken over; anything else, missing values included, is on.
static int32_t SwitchFrom(DWORD stored)
{
    return stored == 0 ? 0 : 1;
}

int LoadSettings(HKEY root)
{
    HKEY key = NULL;
    if (RegOpenKeyExW(root, SettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 1;

    KeyCode up = (KeyCode)QueryDword(key, TEXT("HotkeyUp"));
    int upValid = IsValidHotkey(up);
    KeyCode down = (KeyCode)QueryDword(key, TEXT("HotkeyDown"));
    int downValid = IsValidHotkey(down);
    int32_t wrap = SwitchFrom(QueryDword(key, TEXT("Wrap")));
    int32_t errorSound = SwitchFrom(QueryDword(key, TEXT("ErrorSound")));
    RegCloseKey(key);

    // A half-valid set is not applied at all: the switches saved beside a
    // broken hotkey belong to the same save and are not trusted either.
    if (!upValid || !downValid)
        return 1;
    Settings.HotkeyUp = up;
    Settings.HotkeyDown = down;
    Settings.Wrap = wrap;
    Settings.ErrorSound = errorSound;
    return 0;
}

static LSTATUS SetDword(HKEY key, const WCHAR* name, int32_t value)
{
    DWORD data = (DWORD)value;
    return RegSetValueExW(key, name, 0, REG_DWORD, (const BYTE*)&data, sizeof data);
}

LONG SaveSettings(HKEY root)
{
    HKEY key = NULL;
    LSTATUS created = RegCreateKeyExW(root, SettingsKeyPath, 0, NULL, REG_OPTION_NON_VOLATILE,
                                      KEY_READ | KEY_WRITE, NULL, &key, NULL);
    if (created != ERROR_SUCCESS)
        return created;

    // Every write is attempted so that one refused value does not cost the
    // others; the caller hears about the last refusal.
    const LSTATUS written[] = {
        SetDword(key, TEXT("HotkeyUp"), Settings.HotkeyUp),
        SetDword(key, TEXT("HotkeyDown"), Settings.HotkeyDown),
        SetDword(key, TEXT("Wrap"), Settings.Wrap),
        SetDword(key, TEXT("ErrorSound"), Settings.ErrorSound),
    };
    RegCloseKey(key);

    LONG result = ERROR_SUCCESS;
    for (LSTATUS status : written) {
        if (status != ERROR_SUCCESS)
            result = status;
    }
    return result;
}
