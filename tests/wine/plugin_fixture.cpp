#include "plugin_fixture.h"

namespace {

const WCHAR kSettingsKey[] = L"Software\\Kelderin\\Mirvane";

template <typename Function>
Function Find(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void DeleteSettingsKey(HKEY root)
{
    LONG status = RegDeleteTreeW(root, kSettingsKey);
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
        return;
    ADD_FAILURE() << "cannot clear saved settings, status " << status;
}

} // namespace

std::wstring DriverFolder()
{
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring PluginPath()
{
    return DriverFolder() + L"Mirvane.dll";
}

void ClearSavedSettings()
{
    DeleteSettingsKey(HKEY_CURRENT_USER);
    DeleteSettingsKey(HKEY_LOCAL_MACHINE);
}

std::wstring HostText(int channel)
{
    return HostOutput(channel);
}

void FreshStateListener::OnTestStart(const ::testing::TestInfo&)
{
    HostReset();
    ClearSavedSettings();
    SetEnvironmentVariableW(L"NoLoadMsg", nullptr);
}

void PluginTest::SetUp()
{
    module = LoadLibraryW(PluginPath().c_str());
    ASSERT_NE(module, nullptr) << "LoadLibraryW failed with " << GetLastError();
    getPluginInfo = Find<GetPluginInfoFunction>(module, "GetPluginInfo");
    initializePlugin = Find<InitializePluginFunction>(module, "InitializePlugin");
    shutdownPlugin = Find<ShutdownPluginFunction>(module, "ShutdownPlugin");
    key = Find<KeyFunction>(module, "key");
    command = Find<CommandFunction>(module, "mirvane");
    help = Find<HelpFunction>(module, "Help");
    usage = Find<UsageFunction>(module, "Usage");
    ASSERT_NE(getPluginInfo, nullptr);
    ASSERT_NE(initializePlugin, nullptr);
    ASSERT_NE(shutdownPlugin, nullptr);
}

void PluginTest::TearDown()
{
    if (!module)
        return;
    // The host's last call before it unloads a plug-in. It kills a pending
    // beep re-arm timer, whose callback a later DispatchMessageW would
    // otherwise run in the unloaded module.
    if (shutdownPlugin)
        EXPECT_EQ(shutdownPlugin(FALSE), 0);
    FreeLibrary(module);
    // Nothing else may hold the module: the next test must start from the
    // load values again.
    EXPECT_EQ(GetModuleHandleW(L"Mirvane.dll"), nullptr) << "Mirvane.dll is still loaded";
    module = nullptr;
}

void PluginTest::StartPlugin()
{
    ASSERT_EQ(initializePlugin(), 0) << "start-up refused";
}
