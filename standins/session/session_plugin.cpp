#include "standins/session/session_plugin.h"

#include "standins/session/host_keys.h"

namespace {

template <typename Function>
bool Find(HMODULE module, const char* name, Function* function)
{
    *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return *function != nullptr;
}

struct ModifierKey {
    int mask;
    WORD virtualKey;
};

constexpr ModifierKey ModifierKeys[] = {
    {HostShiftHeld, VK_SHIFT},
    {HostCtrlHeld, VK_CONTROL},
    {HostAltHeld, VK_MENU},
};

void SendModifier(WORD virtualKey, bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

// A terminal console delivers Ctrl and Alt only inside its key events; the
// handler samples the live state. Presses the ones the system does not
// already see held, and returns them so that exactly those are let go.
int PressMissingModifiers(int modifiers)
{
    int pressed = 0;
    for (const ModifierKey& key : ModifierKeys) {
        if (!(modifiers & key.mask) || (GetAsyncKeyState(key.virtualKey) & 0x8000))
            continue;
        SendModifier(key.virtualKey, true);
        pressed |= key.mask;
    }
    return pressed;
}

void ReleaseModifiers(int pressed)
{
    for (const ModifierKey& key : ModifierKeys) {
        if (pressed & key.mask)
            SendModifier(key.virtualKey, false);
    }
}

} // namespace

bool StartPlugin(const std::wstring& path, SessionPlugin* plugin, std::wstring* error)
{
    *plugin = SessionPlugin();
    plugin->module = LoadLibraryW(path.c_str());
    if (!plugin->module) {
        *error = L"cannot load " + path + L" (error " + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    HMODULE module = plugin->module;
    if (!Find(module, "GetPluginInfo", &plugin->getPluginInfo) ||
        !Find(module, "InitializePlugin", &plugin->initializePlugin) ||
        !Find(module, "ShutdownPlugin", &plugin->shutdownPlugin) ||
        !Find(module, "key", &plugin->key) || !Find(module, "mirvane", &plugin->command)) {
        *error = path + L" lacks one of the exports GetPluginInfo, InitializePlugin, "
                        L"ShutdownPlugin, key, mirvane";
        FreeLibrary(module);
        *plugin = SessionPlugin();
        return false;
    }
    plugin->getPluginInfo();
    if (plugin->initializePlugin() != 0) {
        *error = L"the plug-in refused to start";
        FreeLibrary(module);
        *plugin = SessionPlugin();
        return false;
    }
    return true;
}

void StopPlugin(SessionPlugin* plugin)
{
    if (!plugin->module)
        return;
    plugin->shutdownPlugin(FALSE);
    FreeLibrary(plugin->module);
    *plugin = SessionPlugin();
}

int32_t SendKeyToPlugin(const SessionPlugin& plugin, int32_t code, int row, int modifiers)
{
    KeyEventRecord event = {};
    event.code = code;
    event.row = row;
    int pressed = PressMissingModifiers(modifiers);
    plugin.key(&event);
    ReleaseModifiers(pressed);
    return event.code;
}
