#include "navigation/beep_limiter.h"
#include "plugin/state.h"

enum { BeepTimerId = 34147, BeepTimerPeriodMs = 750 };

BeepLimiter ErrorBeep = LoadTimeBeep;

static void CALLBACK OnBeepTimer(HWND window, UINT message, UINT_PTR timerId, DWORD time);

void SoundErrorBeep(void)
{
    if (!Settings.ErrorSound || !ErrorBeep.armed)
        return;
    ErrorBeep.armed = false;
    // Without a window SetTimer picks its own id, so the one asked for is
    // not the one to kill later.
    ErrorBeep.pendingTimer = SetTimer(NULL, BeepTimerId, BeepTimerPeriodMs, OnBeepTimer);
    // No timer means nothing would ever re-arm the beep.
    if (ErrorBeep.pendingTimer == 0)
        ErrorBeep.armed = true;
    MessageBeep(MB_OK);
}

static void CALLBACK OnBeepTimer(HWND window, UINT message, UINT_PTR timerId, DWORD time)
{
    (void)message;
    (void)time;
    // A timer that could not be killed stays pending, so that shutting down
    // still tries to kill it before the module goes away.
    if (KillTimer(window, timerId) && timerId == ErrorBeep.pendingTimer)
        ErrorBeep.pendingTimer = 0;
    ErrorBeep.armed = true;
}

void CancelBeepTimer(void)
{
    if (ErrorBeep.pendingTimer != 0) {
        KillTimer(NULL, ErrorBeep.pendingTimer);
        ErrorBeep.pendingTimer = 0;
    }
    ErrorBeep.armed = true;
}
