// The plug-in's registry key as a user or an installer leaves it, written and
// read with the real registry API. Header-only, like host_writes.h.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

const WCHAR kMirvaneKeyPath[] = L"Software\\Kelderin\\Mirvane";

inline void WriteSavedValue(HKEY root, const WCHAR* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(root, kMirvaneKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_WRITE, nullptr, &key, nullptr);
    ASSERT_EQ(status, ERROR_SUCCESS) << "cannot create the settings key";
    status = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS) << "cannot write a saved value";
}

inline void WriteSavedDword(HKEY root, const WCHAR* name, DWORD value)
{
    WriteSavedValue(root, name, REG_DWORD, &value, sizeof value);
}

struct SavedSet {
    DWORD up;
    DWORD down;
    DWORD wrap;
    DWORD errorSound;
};

inline void WriteSavedSet(HKEY root, const SavedSet& set)
{
    WriteSavedDword(root, L"HotkeyUp", set.up);
    WriteSavedDword(root, L"HotkeyDown", set.down);
    WriteSavedDword(root, L"Wrap", set.wrap);
    WriteSavedDword(root, L"ErrorSound", set.errorSound);
}

inline bool SettingsKeyExists(HKEY root)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kMirvaneKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

struct StoredValue {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
};

// Every value under the key, in the registry's own order.
inline std::vector<StoredValue> ReadStoredValues(HKEY root)
{
    std::vector<StoredValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kMirvaneKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        WCHAR name[256];
        DWORD nameLength = 256;
        BYTE data[64];
        DWORD size = sizeof data;
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        values.push_back({std::wstring(name, nameLength), type, std::vector<BYTE>(data, data + size)});
    }
    RegCloseKey(key);
    return values;
}

// One value read back as the plug-in reads it: type and 4-byte content.
struct QueriedDword {
    LONG status;
    DWORD type;
    DWORD size;
    DWORD value;
};

inline QueriedDword QuerySavedDword(HKEY root, const WCHAR* name)
{
    QueriedDword result = {ERROR_FILE_NOT_FOUND, 0, 0, 0};
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kMirvaneKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return result;
    result.size = sizeof result.value;
    result.status = RegQueryValueExW(key, name, nullptr, &result.type,
                                     reinterpret_cast<BYTE*>(&result.value), &result.size);
    RegCloseKey(key);
    return result;
}
