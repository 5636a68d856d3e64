// The boundary the host loads, starts and stops the module through.
#include "host/exports.h"
#include "hotkeys/key_names.h"
#include "navigation/navigation.h"
#include "plugin/diagnostics.h"
#include "plugin/host_variables.h"
#include "plugin/plugin_version.h"
#include "plugin/startup.h"
#include "plugin/state.h"
#include "plugin/text.h"
#include "settings/registry_settings.h"

static PluginInfoRecord InfoRecord;

// The host loads plug-ins into transient and pipe shells too; the tags and
// hotkeys only make sense in an interactive one.
static int IsInteractiveShell(void)
{
    WCHAR state[TextBufferLength];
    ExpandHostVariables(state, TextBufferLength, TEXT("%[_transient]%[_pipe]"));
    return state[0] == '0' && state[1] == '0' && state[2] == 0;
}

// Any value, of any length, silences the message: only the variable's being
// set counts, so a value too long for the buffer silences it as well.
static int IsLoadMessageSuppressed(void)
{
    WCHAR value[TextBufferLength];
    value[0] = 0;
    return GetEnvironmentVariableW(TEXT("NoLoadMsg"), value, TextBufferLength) > 0;
}

static void PrintLoadMessage(void)
{
    WCHAR backName[TextBufferLength];
    WCHAR forwardName[TextBufferLength];
    KeyCodeToName(Settings.HotkeyUp, backName);
    KeyCodeToName(Settings.HotkeyDown, forwardName);
    Printf(TEXT("%s v%u.%u.%u loaded.  Back: %s, forward: %s.\r\n"), PluginName,
           (unsigned)PluginMajorVersion, (unsigned)PluginMinorVersion, (unsigned)PluginBuildNumber,
           backName, forwardName);
}

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

// The order matters: the host version picks the key table before saved
// hotkeys are validated against it, and the defaults stand before saved
// settings are laid over them.
extern "C" int InitializePlugin(void)
{
    if (!IsInteractiveShell())
        return 1;
    int suppressLoadMessage = IsLoadMessageSuppressed();
    ReadOsVersion();
    ReadHostVersion();
    InstallDefaultSettings();
    if (LoadSettings(HKEY_CURRENT_USER) != 0)
        LoadSettings(HKEY_LOCAL_MACHINE);
    if (IsWindows10Build19041OrLater(&OsVersion))
        Settings.markerAttribute = MarkerAttributeModern;
    if (!suppressLoadMessage)
        PrintLoadMessage();
    return 0;
}

// A pending beep timer would call back into a module the host is about to
// unload.
extern "C" int ShutdownPlugin(BOOL endProcess)
{
    (void)endProcess;
    CancelBeepTimer();
    return 0;
}
