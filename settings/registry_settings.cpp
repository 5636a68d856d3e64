#include "settings/registry_settings.h"

#include "hotkeys/key_tables.h"
#include "plugin/state.h"

const WCHAR SettingsKeyPath[] = TEXT("Software\\Kelderin\\Mirvane");

// The settings key, open for one operation and closed when it goes out of
// scope, so that no key survives a call.
class SettingsKey {
public:
    SettingsKey() = default;
    ~SettingsKey()
    {
        if (open)
            RegCloseKey(key);
    }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    LSTATUS Open(HKEY root)
    {
        return Opened(RegOpenKeyExW(root, SettingsKeyPath, 0, KEY_READ, &key));
    }
    // Missing keys on the path are created too.
    LSTATUS Create(HKEY root)
    {
        return Opened(RegCreateKeyExW(root, SettingsKeyPath, 0, NULL, REG_OPTION_NON_VOLATILE,
                                      KEY_READ | KEY_WRITE, NULL, &key, NULL));
    }
    HKEY Get() const { return key; }

private:
    LSTATUS Opened(LSTATUS status)
    {
        open = status == ERROR_SUCCESS;
        return status;
    }

    HKEY key = NULL;
    bool open = false;
};

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

bool LoadSettings(HKEY root)
{
    SettingsKey key;
    if (key.Open(root) != ERROR_SUCCESS)
        return false;

    UserSettings saved;
    saved.HotkeyUp = (KeyCode)QueryDword(key.Get(), TEXT("HotkeyUp"));
    bool upValid = IsValidHotkey(saved.HotkeyUp);
    saved.HotkeyDown = (KeyCode)QueryDword(key.Get(), TEXT("HotkeyDown"));
    bool downValid = IsValidHotkey(saved.HotkeyDown);
    saved.Wrap = SwitchFrom(QueryDword(key.Get(), TEXT("Wrap")));
    saved.ErrorSound = SwitchFrom(QueryDword(key.Get(), TEXT("ErrorSound")));

    // A half-valid set is not applied at all: the switches saved beside a
    // broken hotkey belong to the same save and are not trusted either.
    if (!upValid || !downValid)
        return false;
    // The copy hotkey comes with the set it was saved with, and a missing or
    // broken one means none; it never decides whether the set is taken.
    KeyCode copy = (KeyCode)QueryDword(key.Get(), TEXT("CopyHotkey"));
    saved.CopyHotkey = IsValidHotkey(copy) ? copy : 0;
    // Off unless it was saved on: the filter changes what the hotkeys visit.
    saved.TypedFilter = QueryDword(key.Get(), TEXT("TypedFilter")) == 1 ? 1 : 0;
    DWORD marks = QueryDword(key.Get(), TEXT("TerminalMarks"));
    saved.TerminalMarks = marks == 1 ? MarksYes : marks == 0 ? MarksNo : MarksAuto;
    Settings = saved;
    return true;
}

static LSTATUS SetDword(HKEY key, const WCHAR* name, int32_t value)
{
    DWORD data = (DWORD)value;
    return RegSetValueExW(key, name, 0, REG_DWORD, (const BYTE*)&data, sizeof data);
}

// A value already missing is fine.
static LSTATUS RemoveValue(HKEY key, const WCHAR* name)
{
    LSTATUS deleted = RegDeleteValueW(key, name);
    return deleted == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : deleted;
}

// A setting that is off (no copy hotkey, no typed filter) is no value at
// all, so that a key saved without it reads the same as before there was
// one.
static LSTATUS SetOrRemove(HKEY key, const WCHAR* name, int32_t value)
{
    return value != 0 ? SetDword(key, name, value) : RemoveValue(key, name);
}

LSTATUS SaveSettings(HKEY root)
{
    SettingsKey key;
    LSTATUS created = key.Create(root);
    if (created != ERROR_SUCCESS)
        return created;

    // Every write is attempted so that one refused value does not cost the
    // others; the caller hears about the last refusal.
    const LSTATUS written[] = {
        SetDword(key.Get(), TEXT("HotkeyUp"), Settings.HotkeyUp),
        SetDword(key.Get(), TEXT("HotkeyDown"), Settings.HotkeyDown),
        SetDword(key.Get(), TEXT("Wrap"), Settings.Wrap),
        SetDword(key.Get(), TEXT("ErrorSound"), Settings.ErrorSound),
        SetOrRemove(key.Get(), TEXT("CopyHotkey"), Settings.CopyHotkey),
        SetOrRemove(key.Get(), TEXT("TypedFilter"), Settings.TypedFilter),
        // Auto, the default, is no value, as above; yes is 1 and no 0.
        Settings.TerminalMarks == MarksAuto
            ? RemoveValue(key.Get(), TEXT("TerminalMarks"))
            : SetDword(key.Get(), TEXT("TerminalMarks"), Settings.TerminalMarks == MarksYes ? 1 : 0),
    };

    LSTATUS result = ERROR_SUCCESS;
    for (LSTATUS status : written) {
        if (status != ERROR_SUCCESS)
            result = status;
    }
    return result;
}
