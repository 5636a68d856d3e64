// The call log and fault injection behind every stand-in function.
#include <map>

#include "standins/windows/standin_internal.h"

namespace standin {
namespace {

struct CallState {
    std::vector<Api> log;
    int counts[(int)Api::Count] = {};
    std::map<Api, std::vector<int>> failAt; // call numbers of that api to fail
    bool failAll[(int)Api::Count] = {};
    int failNumber = 0; // global call number to fail, 0 for none
    std::map<Api, std::function<void()>> before;
    DWORD lastError = 0;
};

CallState& State()
{
    static CallState state;
    return state;
}

const char* const ApiNames[] = {
    "CreateFileW",      "CloseHandle",     "GetStdHandle",          "GetConsoleScreenBufferInfo",
    "ReadConsoleOutputAttribute",          "WriteConsoleOutputAttribute", "ReadConsoleOutputW",
    "SetConsoleWindowInfo",                "GetConsoleWindow",      "GlobalAlloc",
    "GlobalLock",       "GlobalUnlock",    "GlobalFree",            "GlobalReAlloc",
    "GlobalSize",       "OpenClipboard",
    "EmptyClipboard",   "SetClipboardData", "CloseClipboard",       "GetAsyncKeyState",
    "SetTimer",         "KillTimer",       "MessageBeep",           "MessageBoxW",
    "GetForegroundWindow", "wsprintfW",    "RegOpenKeyExW",         "RegQueryValueExW",
    "RegCreateKeyExW",  "RegSetValueExW",  "RegDeleteValueW",       "RegCloseKey",
    "GetModuleHandleW", "GetProcAddress",  "RtlGetVersion",         "GetVersionExW",
    "GetEnvironmentVariableW",             "FormatMessageW",
    "GetConsoleMode",   "SetConsoleMode",  "SetConsoleCursorPosition", "WriteConsoleW",
    "GetClassNameW",
};
static_assert(sizeof ApiNames / sizeof ApiNames[0] == (size_t)Api::Count, "one name per api");

} // namespace

const char* ApiName(Api api)
{
    return api < Api::Count ? ApiNames[(int)api] : "?";
}

bool CallFails(Api api)
{
    CallState& s = State();
    auto hook = s.before.find(api);
    if (hook != s.before.end()) {
        std::function<void()> action = std::move(hook->second);
        s.before.erase(hook);
        action();
    }
    s.log.push_back(api);
    int nth = ++s.counts[(int)api];
    if (s.failAll[(int)api])
        return true;
    if (s.failNumber != 0 && (int)s.log.size() == s.failNumber)
        return true;
    auto planned = s.failAt.find(api);
    if (planned == s.failAt.end())
        return false;
    for (int n : planned->second) {
        if (n == nth)
            return true;
    }
    return false;
}

void ResetCalls()
{
    State() = CallState();
}

const std::vector<Api>& CallLog()
{
    return State().log;
}

int CallCount(Api api)
{
    return State().counts[(int)api];
}

void ClearCallLog()
{
    CallState& s = State();
    s.log.clear();
    for (int& c : s.counts)
        c = 0;
    s.failAt.clear();
    s.failNumber = 0;
}

void FailCall(Api api, int nth)
{
    State().failAt[api].push_back(State().counts[(int)api] + nth);
}

void FailAllCalls(Api api, bool on)
{
    State().failAll[(int)api] = on;
}

void FailCallNumber(int n)
{
    State().failNumber = n;
}

void BeforeCall(Api api, std::function<void()> action)
{
    State().before[api] = std::move(action);
}

std::u16string FoldCase(const std::u16string& text)
{
    std::u16string out = text;
    for (char16_t& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = (char16_t)(c + ('a' - 'A'));
    }
    return out;
}

void Reset(int columns, int rows)
{
    ResetCalls();
    ResetConsole(columns, rows);
    ResetUser();
    ResetRegistry();
    ResetSystem();
    ResetClipboard();
}

} // namespace standin

extern "C" {

DWORD WINAPI GetLastError(void)
{
    return standin::State().lastError;
}

void WINAPI SetLastError(DWORD error)
{
    standin::State().lastError = error;
}

} // extern "C"
