// The exports the host finds by name (see plugin/Mirvane.def).
#pragma once

#include "host/host_api.h"

extern "C" {
PluginInfoRecord* GetPluginInfo(void);
int InitializePlugin(void);
int ShutdownPlugin(BOOL endProcess);
int key(KeyEventRecord* event);
int mirvane(WCHAR* arguments);
int Help(WCHAR* name);
int Usage(WCHAR* name, WCHAR* usage);
}
