// The boundary: the seven functions the host finds by name (Mirvane.def),
// each forwarding into the subsystem that does the work.
#include "host/exports.h"

#include "navigation/beep_limiter.h"
#include "navigation/navigation.h"
#include "plugin/diagnostics.h"
#include "plugin/help.h"
#include "plugin/plugin_version.h"
#include "plugin/startup.h"
#include "settings/command.h"

static PluginInfoRecord InfoRecord;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance, (void)reason, (void)reserved;
    return TRUE;
}

extern "C" PluginInfoRecord* GetPluginInfo(void)
{
    InfoRecord.Name = PluginName;
    InfoRecord.Author = TEXT("The Mirvane developers");
    InfoRecord.Email = TEXT("mirvane@example.org");
    InfoRecord.WebPage = TEXT("https://example.org/mirvane");
    InfoRecord.Description = TEXT("Mirvane plugin");
    InfoRecord.Functions = TEXT("mirvane,*key");
    InfoRecord.MajorVersion = PluginMajorVersion;
    InfoRecord.MinorVersion = PluginMinorVersion;
    InfoRecord.BuildNumber = PluginBuildNumber;
    return &InfoRecord;
}

extern "C" int InitializePlugin(void)
{
    return StartPlugin() ? 0 : 1;
}

// A pending beep timer would call back into a module the host is about to
// unload.
extern "C" int ShutdownPlugin(BOOL endProcess)
{
    (void)endProcess;
    CancelBeepTimer();
    return 0;
}

extern "C" int key(KeyEventRecord* event)
{
    HandleKey(event);
    return 0;
}

extern "C" int mirvane(WCHAR* arguments)
{
    return RunSettingsCommand(arguments);
}

extern "C" int Help(WCHAR* name)
{
    return ShowHelp(name) ? 1 : 0;
}

extern "C" int Usage(WCHAR* name, WCHAR* usage)
{
    return CopyUsage(name, usage) ? 1 : 0;
}
