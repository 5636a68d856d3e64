// The shared cases' harness on the real DLL: Mirvane.dll loaded afresh for
// every test from the driver's folder and its exports found by name, as the
// host finds them; the driver's real Wine console, keys held through the
// real input queue, the real registry and environment.
#include "tests/cases/harness.h"

#include <windows.h>

#include <algorithm>
#include <string.h>

#include "tests/wine/wine_harness.h"

namespace {

PluginExports exports;
HMODULE module = nullptr;
TestConsole console;
HeldKeys keys;

int beepsHeard = 0;
int beepsAsked = 0;
int beepsAtLastTimer = 0;

template <typename Function>
Function Find(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The plug-in's beeps are counted where it calls MessageBeep: its import of
// the function is pointed here. The timer the beep starts stays real.
BOOL WINAPI CountedMessageBeep(UINT type)
{
    (void)type;
    ++beepsHeard;
    return TRUE;
}

// The import address table entry through which module calls dll!function.
ULONG_PTR* ImportSlot(HMODULE image, const char* dll, const char* function)
{
    BYTE* base = reinterpret_cast<BYTE*>(image);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; descriptor->Name; ++descriptor) {
        if (_stricmp(reinterpret_cast<char*>(base + descriptor->Name), dll) != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<char*>(byName->Name), function) == 0)
                return &slots->u1.Function;
        }
    }
    return nullptr;
}

void CountBeeps()
{
    ULONG_PTR* slot = ImportSlot(module, "user32.dll", "MessageBeep");
    ASSERT_NE(slot, nullptr) << "Mirvane.dll does not import MessageBeep";
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = reinterpret_cast<ULONG_PTR>(&CountedMessageBeep);
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

void DeleteSettingsKey(HKEY root)
{
    LONG status = RegDeleteTreeW(root, SettingsKey);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        ADD_FAILURE() << "cannot clear saved settings, status " << status;
}

void LoadPlugin()
{
    module = LoadLibraryW((DriverFolder() + L"Mirvane.dll").c_str());
    ASSERT_NE(module, nullptr) << "LoadLibraryW failed with " << GetLastError();
    exports = {
        Find<GetPluginInfoFunction>("GetPluginInfo"),
        Find<InitializePluginFunction>("InitializePlugin"),
        Find<ShutdownPluginFunction>("ShutdownPlugin"),
        Find<KeyFunction>("key"),
        Find<CommandFunction>("mirvane"),
        Find<HelpFunction>("Help"),
        Find<UsageFunction>("Usage"),
    };
    CountBeeps();
}

} // namespace

std::wstring DriverFolder()
{
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

HMODULE PluginModule()
{
    return module;
}

namespace harness {

void BeginProcess()
{
    HostReset();
    DeleteSettingsKey(HKEY_CURRENT_USER);
    DeleteSettingsKey(HKEY_LOCAL_MACHINE);
    SetEnvironmentVariableW(L"NoLoadMsg", nullptr);
    SetEnvironmentVariableW(L"TERM_PROGRAM", nullptr);
    beepsHeard = beepsAsked = beepsAtLastTimer = 0;
    ASSERT_TRUE(console.Open());
    LayConsole(100, 300, 0, 0, 100, 30);
    SetCursor(0, 0);
    LoadPlugin();
}

void EndProcess()
{
    keys.ReleaseAll();
    if (module) {
        // The host's last call before it unloads a plug-in. It kills a
        // pending beep re-arm timer, whose callback a later DispatchMessageW
        // would otherwise run in the unloaded module.
        if (exports.shutdownPlugin)
            EXPECT_EQ(exports.shutdownPlugin(FALSE), 0);
        FreeLibrary(module);
        // The next test must start from the load values again.
        EXPECT_EQ(GetModuleHandleW(L"Mirvane.dll"), nullptr) << "Mirvane.dll is still loaded";
        module = nullptr;
    }
    console.Close();
}

const PluginExports& Plugin()
{
    return exports;
}

bool RunsOn(const ConsoleKind& kind)
{
    return kind.profile == DocumentedConsoleKind.profile && kind.marker == DocumentedConsoleKind.marker;
}

// Wine is one console, the one RunsOn accepts.
void UseConsole(const ConsoleKind&)
{
}

void LayConsole(int columns, int rows, int left, int top, int windowColumns, int windowRows)
{
    ASSERT_TRUE(console.Lay(columns, rows, left, top, windowColumns, windowRows));
}

SMALL_RECT Window()
{
    return console.Window();
}

WORD Attribute(int column, int row)
{
    return console.Attribute(column, row);
}

void SetAttribute(int column, int row, WORD attribute)
{
    console.SetAttributes(column, row, {attribute});
}

WCHAR Character(int column, int row)
{
    std::wstring text = console.Characters(column, row, 1);
    return text.empty() ? 0 : text[0];
}

void WriteCharacters(int column, int row, const Text& text)
{
    console.WriteCharacters(column, row, text);
}

// The console scrolls its window to a cursor put outside it; the window is
// put back, so that only the cursor moves, as in the stand-in.
void SetCursor(int column, int row)
{
    SMALL_RECT window = console.Window();
    ASSERT_TRUE(console.SetCursor(column, row));
    ASSERT_TRUE(console.MoveWindow(window.Left, window.Top, window.Right - window.Left + 1,
                                   window.Bottom - window.Top + 1));
}

void ScrollBufferUp()
{
    console.ScrollUp();
}

bool CanColourByEscape()
{
    return false;
}

void SetEscapeColoured(int, int, WORD)
{
    ADD_FAILURE() << "the Wine runner cannot colour a cell by escape sequence";
}

void ExpectNothingLeftOpen()
{
}

void HoldModifiers(int modifiers)
{
    keys.ReleaseAll();
    if (modifiers & Shift)
        keys.Hold(VK_SHIFT);
    if (modifiers & Ctrl)
        keys.Hold(VK_CONTROL);
    if (modifiers & Alt)
        keys.Hold(VK_MENU);
}

int BeepsSinceAsked()
{
    int since = beepsHeard - beepsAsked;
    beepsAsked = beepsHeard;
    return since;
}

// Only a beep starts the timer, so without one there is nothing to wait for.
void LetBeepTimerRun()
{
    if (beepsHeard == beepsAtLastTimer)
        return;
    beepsAtLastTimer = beepsHeard;
    Stopwatch clock;
    EXPECT_EQ(PumpMessages(clock, 2000, true).timers, 1) << "the beep's re-arm timer did not run";
}

// Put there under the console's window: a clipboard emptied without an
// owner takes no data.
void SetClipboardText(const Text& text)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(WCHAR));
    ASSERT_NE(memory, nullptr);
    WCHAR* at = static_cast<WCHAR*>(GlobalLock(memory));
    std::copy(text.begin(), text.end(), at);
    at[text.size()] = 0;
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(GetConsoleWindow())) << "cannot open the clipboard, error " << GetLastError();
    bool placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed)
        GlobalFree(memory);
    ASSERT_TRUE(placed) << "cannot put text on the clipboard";
}

std::optional<std::vector<BYTE>> ClipboardBlock()
{
    if (!OpenClipboard(nullptr))
        return std::nullopt;
    std::optional<std::vector<BYTE>> bytes;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const BYTE* at = data ? static_cast<const BYTE*>(GlobalLock(data)) : nullptr;
    if (at) {
        bytes = std::vector<BYTE>(at, at + GlobalSize(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

std::optional<Text> ClipboardText()
{
    std::optional<std::vector<BYTE>> bytes = ClipboardBlock();
    if (!bytes)
        return std::nullopt;
    Text text;
    for (size_t i = 0; i + 1 < bytes->size(); i += 2) {
        WCHAR c = (WCHAR)((*bytes)[i] | (*bytes)[i + 1] << 8);
        if (c == 0)
            break;
        text.push_back(c);
    }
    return text;
}

bool CanRefuseClipboard()
{
    return false;
}

void RefuseClipboard(ClipboardRefusal)
{
    ADD_FAILURE() << "the Wine runner cannot refuse the clipboard";
}

void StoreValue(HKEY root, const StoredValue& value)
{
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(root, SettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                  &key, nullptr);
    ASSERT_EQ(status, ERROR_SUCCESS) << "cannot create the settings key";
    status = RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                            (DWORD)value.data.size());
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS) << "cannot write a saved value";
}

std::optional<StoredValue> ReadValue(HKEY root, const Text& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    BYTE data[64];
    DWORD size = sizeof data;
    DWORD type = 0;
    LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return StoredValue{name, type, std::vector<BYTE>(data, data + size)};
}

bool SettingsKeyExists(HKEY root)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::vector<Text> ValueNames(HKEY root)
{
    std::vector<Text> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        WCHAR name[256];
        DWORD length = 256;
        if (RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(Text(name, length));
    }
    RegCloseKey(key);
    std::sort(names.begin(), names.end());
    return names;
}

bool CanDenyRegistry()
{
    return false;
}

void DenyRegistry(HKEY)
{
    ADD_FAILURE() << "the Wine runner cannot refuse registry access";
}

void SetEnvironment(const Text& name, const std::optional<Text>& value)
{
    SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr);
}

} // namespace harness
