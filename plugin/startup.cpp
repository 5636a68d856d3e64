#include "plugin/startup.h"

#include <string.h>

#include "plugin/host_variables.h"
#include "plugin/state.h"
#include "plugin/text.h"

OSVERSIONINFOEXW OsVersion;

typedef LONG(WINAPI* RtlGetVersionRoutine)(OSVERSIONINFOW* version);

enum { OldestHostVersion = 8, NewestHostVersion = 100, FirstExtendedHostVersion = 24 };

static void ClearOsVersion(void)
{
    memset(&OsVersion, 0, sizeof OsVersion);
    OsVersion.dwOSVersionInfoSize = sizeof OsVersion;
}

// GetVersionExW lies to programs without a compatibility manifest, which a
// plug-in cannot have; the NtDll routine tells the truth, so it comes first.
int ReadOsVersion(void)
{
    HMODULE ntdll = GetModuleHandleW(TEXT("NtDll.dll"));
    ClearOsVersion();
    if (ntdll) {
        FARPROC routine = GetProcAddress(ntdll, "RtlGetVersion");
        if (routine) {
            RtlGetVersionRoutine rtlGetVersion =
                reinterpret_cast<RtlGetVersionRoutine>(reinterpret_cast<void (*)(void)>(routine));
            rtlGetVersion(reinterpret_cast<OSVERSIONINFOW*>(&OsVersion));
            if (OsVersion.dwMajorVersion >= 6)
                return 1;
        }
    }
    ClearOsVersion();
    return GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&OsVersion)) ? 1 : 0;
}

uint32_t ReadHostVersion(void)
{
    WCHAR version[TextBufferLength];
    ExpandHostVariables(version, TextBufferLength, TEXT("%_4ver"));
    int rangeError = 0;
    uint32_t value = ParseDecimalU32(version, &rangeError);
    Settings.hostVersion = 0;
    if (!rangeError && value >= OldestHostVersion && value <= NewestHostVersion)
        Settings.hostVersion = value;
    Settings.useExtendedKeys = Settings.hostVersion >= FirstExtendedHostVersion;
    return Settings.hostVersion;
}

int IsWindows10Build19041OrLater(const OSVERSIONINFOEXW* version)
{
    if (version->dwMajorVersion != 10)
        return version->dwMajorVersion > 10;
    if (version->dwMinorVersion != 0)
        return 1;
    return version->dwBuildNumber >= 19041;
}
