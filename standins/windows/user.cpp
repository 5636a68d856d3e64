// Keyboard state, thread timers, beeps, message boxes and wsprintfW.
#include <algorithm>
#include <set>

#include "standins/host/wide_format.h"
#include "standins/windows/standin_internal.h"

namespace standin {
namespace {

struct UserState {
    std::set<int> heldKeys;
    std::vector<Timer> timers;
    UINT_PTR nextTimerId = 1;
    std::vector<UINT> beeps;
    std::vector<MessageBoxCall> boxes;
    HWND foreground = (HWND)(uintptr_t)0x5150;
    DWORD tick = 1000;
};

UserState& State()
{
    static UserState state;
    return state;
}

const UINT WM_TIMER_MESSAGE = 0x0113;

} // namespace

void ResetUser()
{
    State() = UserState();
}

void SetKeyHeld(int virtualKey, bool held)
{
    if (held)
        State().heldKeys.insert(virtualKey);
    else
        State().heldKeys.erase(virtualKey);
}

std::vector<Timer> Timers()
{
    return State().timers;
}

void FireTimers()
{
    std::vector<Timer> due = State().timers;
    State().tick += 750;
    for (const Timer& t : due)
        t.callback(t.window, WM_TIMER_MESSAGE, t.id, State().tick);
}

void SetNextTimerId(UINT_PTR id)
{
    State().nextTimerId = id;
}

std::vector<UINT> Beeps()
{
    return State().beeps;
}

std::vector<MessageBoxCall> MessageBoxes()
{
    return State().boxes;
}

void SetForegroundWindowHandle(HWND window)
{
    State().foreground = window;
}

} // namespace standin

using namespace standin;

extern "C" {

SHORT WINAPI GetAsyncKeyState(int virtualKey)
{
    if (CallFails(Api::GetAsyncKeyState))
        return 0;
    return State().heldKeys.count(virtualKey) ? (SHORT)0x8000 : (SHORT)0;
}

// Without a window the requested id is ignored and a fresh one returned, as
// Windows does; with a window an existing (window, id) timer is replaced.
UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC callback)
{
    if (CallFails(Api::SetTimer)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    std::vector<Timer>& timers = State().timers;
    if (window == nullptr) {
        id = State().nextTimerId++;
    } else {
        timers.erase(std::remove_if(timers.begin(), timers.end(),
                                    [&](const Timer& t) { return t.window == window && t.id == id; }),
                     timers.end());
    }
    timers.push_back({window, id, elapse, callback});
    return window == nullptr ? id : 1;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id)
{
    if (CallFails(Api::KillTimer)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<Timer>& timers = State().timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const Timer& t) { return t.window == window && t.id == id; });
    if (it == timers.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    timers.erase(it);
    return TRUE;
}

BOOL WINAPI MessageBeep(UINT type)
{
    if (CallFails(Api::MessageBeep))
        return FALSE;
    State().beeps.push_back(type);
    return TRUE;
}

int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    if (CallFails(Api::MessageBoxW))
        return 0;
    State().boxes.push_back({owner, text ? text : u"", caption ? caption : u"", type});
    return IDOK;
}

HWND WINAPI GetForegroundWindow(void)
{
    if (CallFails(Api::GetForegroundWindow))
        return nullptr;
    return State().foreground;
}

// Windows limits wsprintfW's output to 1024 units including the terminator.
int WINAPIV wsprintfW(LPWSTR buffer, LPCWSTR format, ...)
{
    CallFails(Api::wsprintfW); // logged only: wsprintfW has no failure to speak of
    va_list arguments;
    va_start(arguments, format);
    std::u16string text = FormatWide(format, arguments);
    va_end(arguments);
    if (text.size() > 1023)
        text.resize(1023);
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
    return (int)text.size();
}

} // extern "C"
