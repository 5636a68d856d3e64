// Tagging command rows in column 0 of the console screen buffer, and moving
// the console window between the tagged rows.
#pragma once

#include "plugin/platform.h"

enum {
    BeepTimerId = 34147,
    BeepTimerPeriodMs = 750,
    MarkerBlockRows = 512,
};

// Every console operation opens its own handle and closes it before it
// returns; INVALID_HANDLE_VALUE when there is no console.
HANDLE OpenConsoleOutput(void);

int GetCursorRow(void);
int MarkRow(int row);

// back: 1 towards lower rows (HotkeyUp), 0 forward (HotkeyDown).
int ScrollToMarkedRow(int back);
int FindMarkedRow(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info, int back);
void CALLBACK OnBeepTimer(HWND window, UINT message, UINT_PTR timerId, DWORD time);
// Kills a pending beep re-arm timer, so that no callback into an unloaded
// module can be dispatched, and re-arms the beep.
void CancelBeepTimer(void);

// The error beep, at most once per BeepTimerPeriodMs and only with
// ErrorSound on.
void SoundErrorBeep(void);
