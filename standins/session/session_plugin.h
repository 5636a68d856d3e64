// Mirvane.dll loaded the way the host loads a plug-in: by path, its entry
// points found by name, started once, shut down last.
#pragma once

#include <windows.h>

#include <string>

#include "host/host_api.h"

struct SessionPlugin {
    HMODULE module;
    PluginInfoRecord* (*getPluginInfo)(void);
    int (*initializePlugin)(void);
    int (*shutdownPlugin)(BOOL);
    int (*key)(KeyEventRecord*);
    int (*command)(WCHAR*);
};

// Loads and starts the plug-in. On failure says why in *error and leaves
// nothing loaded.
bool StartPlugin(const std::wstring& path, SessionPlugin* plugin, std::wstring* error);
void StopPlugin(SessionPlugin* plugin);

// One keystroke to the plug-in's handler, with the modifiers the console
// saw held made visible to GetAsyncKeyState for the length of the call.
// Returns the code the handler left in the record: 0 means consumed.
int32_t SendKeyToPlugin(const SessionPlugin& plugin, int32_t code, int row, int modifiers);
