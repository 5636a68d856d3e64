// Standard handles, the environment, version queries and system messages.
#include <map>

#include "standins/windows/standin_internal.h"

namespace standin {
namespace {

struct VersionAnswer {
    bool available;
    DWORD major;
    DWORD minor;
    DWORD build;
};

struct SystemState {
    std::map<std::u16string, std::u16string> environment; // by folded name
    VersionAnswer rtlGetVersion = {true, 6, 1, 7601};
    VersionAnswer getVersionEx = {true, 6, 1, 7601};
    std::map<DWORD, std::u16string> messages; // set since Reset, ahead of KnownMessages
};

struct SystemMessage {
    DWORD code;
    const char16_t* text;
};

// What FormatMessageW knows in a fresh process. Kept out of SystemState so
// that a reset allocates nothing for them.
const SystemMessage KnownMessages[] = {
    {0, u"The operation completed successfully.\r\n"},
    {2, u"The system cannot find the file specified.\r\n"},
    {5, u"Access is denied.\r\n"},
    {87, u"The parameter is incorrect.\r\n"},
};

SystemState& State()
{
    static SystemState state;
    return state;
}

HMODULE const NtDll = (HMODULE)(uintptr_t)0x7FF00000;
const LONG StatusInvalidParameter = (LONG)0xC000000D;

void FillVersion(LPOSVERSIONINFOW info, const VersionAnswer& answer)
{
    info->dwMajorVersion = answer.major;
    info->dwMinorVersion = answer.minor;
    info->dwBuildNumber = answer.build;
    info->dwPlatformId = 2; // VER_PLATFORM_WIN32_NT
}

bool FindMessage(DWORD code, std::u16string* text)
{
    auto it = State().messages.find(code);
    if (it != State().messages.end()) {
        *text = it->second;
        return true;
    }
    for (const SystemMessage& known : KnownMessages) {
        if (known.code == code) {
            *text = known.text;
            return true;
        }
    }
    return false;
}

bool KnownRecordSize(DWORD size)
{
    return size == sizeof(OSVERSIONINFOW) || size == sizeof(OSVERSIONINFOEXW);
}

LONG WINAPI StandinRtlGetVersion(PRTL_OSVERSIONINFOW info)
{
    if (CallFails(Api::RtlGetVersion) || !KnownRecordSize(info->dwOSVersionInfoSize))
        return StatusInvalidParameter;
    FillVersion(info, State().rtlGetVersion);
    return 0;
}

} // namespace

void ResetSystem()
{
    State() = SystemState();
}

void SetEnvironment(const std::u16string& name, std::optional<std::u16string> value)
{
    if (value)
        State().environment[FoldCase(name)] = *value;
    else
        State().environment.erase(FoldCase(name));
}

void SetRtlGetVersion(bool present, DWORD major, DWORD minor, DWORD build)
{
    State().rtlGetVersion = {present, major, minor, build};
}

void SetGetVersionEx(bool succeeds, DWORD major, DWORD minor, DWORD build)
{
    State().getVersionEx = {succeeds, major, minor, build};
}

void SetSystemMessage(DWORD code, const std::u16string& text)
{
    State().messages[code] = text;
}

HANDLE StdOutputHandle()
{
    return (HANDLE)(uintptr_t)0x74;
}

HANDLE StdErrorHandle()
{
    return (HANDLE)(uintptr_t)0x78;
}

} // namespace standin

using namespace standin;

extern "C" {

HANDLE WINAPI GetStdHandle(DWORD which)
{
    if (CallFails(Api::GetStdHandle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_HANDLE_VALUE;
    }
    if (which == STD_OUTPUT_HANDLE)
        return StdOutputHandle();
    if (which == STD_ERROR_HANDLE)
        return StdErrorHandle();
    if (which == STD_INPUT_HANDLE)
        return (HANDLE)(uintptr_t)0x70;
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_HANDLE_VALUE;
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR name)
{
    if (CallFails(Api::GetModuleHandleW) || name == nullptr || FoldCase(name) != u"ntdll.dll") {
        SetLastError(126); // ERROR_MOD_NOT_FOUND
        return nullptr;
    }
    return NtDll;
}

FARPROC WINAPI GetProcAddress(HMODULE module, const char* name)
{
    if (CallFails(Api::GetProcAddress) || module != NtDll || name == nullptr ||
        std::string(name) != "RtlGetVersion" || !State().rtlGetVersion.available) {
        SetLastError(127); // ERROR_PROC_NOT_FOUND
        return nullptr;
    }
    return (FARPROC)&StandinRtlGetVersion;
}

BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW info)
{
    if (CallFails(Api::GetVersionExW) || !State().getVersionEx.available) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!KnownRecordSize(info->dwOSVersionInfoSize)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FillVersion(info, State().getVersionEx);
    return TRUE;
}

// A value that does not fit returns the size needed and leaves the buffer as
// it was; a value set to the empty text returns 0, like an unset one.
DWORD WINAPI GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size)
{
    if (CallFails(Api::GetEnvironmentVariableW)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    auto it = State().environment.find(FoldCase(name ? name : u""));
    if (it == State().environment.end()) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    const std::u16string& value = it->second;
    if (value.size() + 1 > size)
        return (DWORD)value.size() + 1;
    std::copy(value.begin(), value.end(), buffer);
    buffer[value.size()] = 0;
    SetLastError(ERROR_SUCCESS);
    return (DWORD)value.size();
}

// Only what the plug-in asks for: system messages, no inserts. The width
// mask turns the text's line breaks into spaces, as Windows does.
DWORD WINAPI FormatMessageW(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId,
                            LPWSTR buffer, DWORD size, va_list* arguments)
{
    (void)source, (void)arguments;
    if (CallFails(Api::FormatMessageW) || !(flags & FORMAT_MESSAGE_FROM_SYSTEM)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // Language 0 lets the system choose; the messages here are in one
    // language only, which no other identifier names.
    if (languageId != 0) {
        SetLastError(1815); // ERROR_RESOURCE_LANG_NOT_FOUND
        return 0;
    }
    std::u16string text;
    if (!FindMessage(messageId, &text)) {
        SetLastError(317); // ERROR_MR_MID_NOT_FOUND
        return 0;
    }
    if (flags & FORMAT_MESSAGE_MAX_WIDTH_MASK) {
        size_t at;
        while ((at = text.find(u"\r\n")) != std::u16string::npos)
            text.replace(at, 2, u" ");
    }
    if (text.size() + 1 > size) {
        SetLastError(122); // ERROR_INSUFFICIENT_BUFFER
        return 0;
    }
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
    return (DWORD)text.size();
}

} // extern "C"
