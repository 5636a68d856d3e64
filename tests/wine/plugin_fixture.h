// What every Wine test shares: Mirvane.dll loaded from the driver's own
// folder and its exports found by name, as the host finds them. Before each
// test the stand-in host is reset, the saved settings are removed and
// NoLoadMsg is cleared (FreshStateListener, installed by the driver's main).
#pragma once

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "host/host_api.h"
#include "standins/host/host_standin.h"

// The folder of the running driver, with a trailing backslash.
std::wstring DriverFolder();
std::wstring PluginPath();

// Removes "Software\Kelderin\Mirvane" under HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE; absent keys are fine.
void ClearSavedSettings();

class FreshStateListener : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override;
};

typedef PluginInfoRecord* (*GetPluginInfoFunction)(void);
typedef int (*InitializePluginFunction)(void);
typedef int (*ShutdownPluginFunction)(BOOL);
typedef int (*KeyFunction)(KeyEventRecord*);
typedef int (*CommandFunction)(WCHAR*);
typedef int (*HelpFunction)(WCHAR*);
typedef int (*UsageFunction)(WCHAR*, WCHAR*);

// Each test gets a freshly loaded module, so its process-wide state starts
// from its load values. An export the DLL does not have is null.
class PluginTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // InitializePlugin with the host's variables as they are now; fails the
    // test unless the plug-in accepts the start.
    void StartPlugin();

    HMODULE module = nullptr;
    GetPluginInfoFunction getPluginInfo = nullptr;
    InitializePluginFunction initializePlugin = nullptr;
    ShutdownPluginFunction shutdownPlugin = nullptr;
    KeyFunction key = nullptr;
    CommandFunction command = nullptr;
    HelpFunction help = nullptr;
    UsageFunction usage = nullptr;
};

// Everything the plug-in wrote through the host to one channel.
std::wstring HostText(int channel);
