// The error beep, at most once per 750 ms and only with ErrorSound on. A
// beep disarms the limiter and starts a thread timer whose one run arms it
// again.
#pragma once

#include "plugin/platform.h"

struct BeepLimiter {
    bool armed;
    UINT_PTR pendingTimer; // the id SetTimer gave, 0 when no timer is pending
};

constexpr BeepLimiter LoadTimeBeep = {true, 0};

extern BeepLimiter ErrorBeep;

void SoundErrorBeep(void);
// Kills a pending re-arm timer, so that no callback into an unloaded module
// can be dispatched, and re-arms the beep.
void CancelBeepTimer(void);
