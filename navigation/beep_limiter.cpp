#include "navigation/navigation.h"
#include "plugin/state.h"

// The id SetTimer gave the pending re-arm timer, 0 when none is pending.
// Without a window SetTimer picks its own id, so the one asked for is not it.
static UINT_PTR pendingBeepTimer;

void SoundErrorBeep(void)
{
    if (!Settings.ErrorSound || !Settings.beepArmed)
        return;
    Settings.beepArmed = 0;
    pendingBeepTimer = SetTimer(NULL, BeepTimerId, BeepTimerPeriodMs, OnBeepTimer);
    // No timer means nothing would ever re-arm the beep.
    if (pendingBeepTimer == 0)
        Settings.beepArmed = 1;
    MessageBeep(MB_OK);
}

void CALLBACK OnBeepTimer(HWND window, UINT message, UINT_PTR timerId, DWORD time)
{
    (void)message;
    (void)time;
    // A timer that could not be killed stays pending, so that shutting down
    // still tries to kill it before the module goes away.
    if (KillTimer(window, timerId) && timerId == pendingBeepTimer)
        pendingBeepTimer = 0;
    Settings.beepArmed = 1;
}

void CancelBeepTimer(void)
{
    if (pendingBeepTimer != 0) {
        KillTimer(NULL, pendingBeepTimer);
        pendingBeepTimer = 0;
    }
    Settings.beepArmed = 1;
}
