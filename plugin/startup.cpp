#include "plugin/startup.h"

#include <string.h>

#include "host/host_api.h"
#include "hotkeys/key_names.h"
#include "navigation/console_cells.h"
#include "plugin/diagnostics.h"
#include "plugin/plugin_version.h"
#include "plugin/state.h"
#include "plugin/text.h"
#include "settings/registry_settings.h"

typedef LONG(WINAPI* RtlGetVersionRoutine)(OSVERSIONINFOW* version);

enum { OldestHostVersion = 8, NewestHostVersion = 100, FirstExtendedHostVersion = 24 };

// The host loads plug-ins into transient and pipe shells too; the tags and
// hotkeys only make sense in an interactive one.
static bool IsInteractiveShell(void)
{
    WCHAR state[TextBufferLength];
    ExpandHostVariables(state, TextBufferLength, TEXT("%[_transient]%[_pipe]"));
    return state[0] == '0' && state[1] == '0' && state[2] == 0;
}

// Any value, of any length, silences the message: only the variable's being
// set counts, so a value too long for the buffer silences it as well.
static bool IsLoadMessageSuppressed(void)
{
    WCHAR value[TextBufferLength];
    value[0] = 0;
    return GetEnvironmentVariableW(TEXT("NoLoadMsg"), value, TextBufferLength) > 0;
}

// Windows Terminal, VS Code's terminal and every other terminal built on
// the pseudo console give it a window of this class, which no one sees.
static bool InPseudoConsole(void)
{
    HWND window = GetConsoleWindow();
    WCHAR name[32];
    return window && GetClassNameW(window, name, ArraySize(name)) > 0 &&
           TextEqualsNoCase(name, TEXT("PseudoConsoleWindow"));
}

// VS Code names itself in its terminals' environment; its own marks can
// carry the command line.
static bool InVsCodeTerminal(void)
{
    WCHAR value[TextBufferLength];
    DWORD length = GetEnvironmentVariableW(TEXT("TERM_PROGRAM"), value, TextBufferLength);
    return length > 0 && length < TextBufferLength && TextEqualsNoCase(value, TEXT("vscode"));
}

static void ClearOsVersion(OSVERSIONINFOEXW* version)
{
    memset(version, 0, sizeof *version);
    version->dwOSVersionInfoSize = sizeof *version;
}

// GetVersionExW lies to programs without a compatibility manifest, which a
// plug-in cannot have; the NtDll routine tells the truth, so it comes first.
// A record neither fills stays zero.
static void ReadOsVersion(OSVERSIONINFOEXW* version)
{
    ClearOsVersion(version);
    HMODULE ntdll = GetModuleHandleW(TEXT("NtDll.dll"));
    FARPROC routine = ntdll ? GetProcAddress(ntdll, "RtlGetVersion") : NULL;
    if (routine) {
        RtlGetVersionRoutine rtlGetVersion =
            reinterpret_cast<RtlGetVersionRoutine>(reinterpret_cast<void (*)(void)>(routine));
        rtlGetVersion(reinterpret_cast<OSVERSIONINFOW*>(version));
        if (version->dwMajorVersion >= 6)
            return;
    }
    ClearOsVersion(version);
    GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(version));
}

// 0 when the host gives no version in 8..100.
static uint32_t ReadHostVersion(void)
{
    WCHAR version[TextBufferLength];
    ExpandHostVariables(version, TextBufferLength, TEXT("%_4ver"));
    bool rangeError = false;
    uint32_t value = ParseDecimalU32(version, &rangeError);
    if (rangeError || value < OldestHostVersion || value > NewestHostVersion)
        return 0;
    return value;
}

// Newer consoles keep only the documented grid bits, so from this build on
// rows are tagged with the left grid line instead of the unnamed bit.
static bool IsWindows10Build19041OrLater(const OSVERSIONINFOEXW* version)
{
    if (version->dwMajorVersion != 10)
        return version->dwMajorVersion > 10;
    if (version->dwMinorVersion != 0)
        return true;
    return version->dwBuildNumber >= 19041;
}

static void PrintLoadMessage(void)
{
    WCHAR backName[TextBufferLength];
    WCHAR forwardName[TextBufferLength];
    KeyCodeToName(Settings.HotkeyUp, backName, TextBufferLength);
    KeyCodeToName(Settings.HotkeyDown, forwardName, TextBufferLength);
    Printf(TEXT("%s v%u.%u.%u loaded.  Back: %s, forward: %s.\r\n"), PluginName,
           (unsigned)PluginMajorVersion, (unsigned)PluginMinorVersion, (unsigned)PluginBuildNumber,
           backName, forwardName);
}

// A user who has not read README would otherwise only hear the hotkeys beep.
static void PrintScrollBackNotice(void)
{
    if (!ConsoleKeepsNoScrollBack())
        return;
    if (TerminalMarksOn()) {
        Printf(TEXT("This console keeps no scroll-back; Mirvane marks each command for the terminal, which moves ")
               TEXT("between commands with its own keys (see \"Where it works\" in README).\r\n"));
        return;
    }
    Printf(TEXT("This console keeps no scroll-back, so the back and forward hotkeys cannot move its window; ")
           TEXT("see \"Where it works\" in README.\r\n"));
}

// The order matters: the host version picks the key table before saved
// hotkeys are validated against it, and the defaults stand before saved
// settings are laid over them.
bool StartPlugin(void)
{
    if (!IsInteractiveShell())
        return false;
    Startup.pseudoConsole = InPseudoConsole();
    Startup.underVsCode = InVsCodeTerminal();
    bool suppressLoadMessage = IsLoadMessageSuppressed();
    OSVERSIONINFOEXW osVersion;
    ReadOsVersion(&osVersion);
    Startup.hostVersion = ReadHostVersion();
    Startup.useExtendedKeys = Startup.hostVersion >= FirstExtendedHostVersion;
    Settings = DefaultSettings;
    if (!LoadSettings(HKEY_CURRENT_USER))
        LoadSettings(HKEY_LOCAL_MACHINE);
    if (IsWindows10Build19041OrLater(&osVersion))
        Startup.markerAttribute = MarkerAttributeModern;
    if (!suppressLoadMessage) {
        PrintLoadMessage();
        PrintScrollBackNotice();
    }
    return true;
}
