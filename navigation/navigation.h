// Tagging command rows in column 0 of the console screen buffer, and moving
// the console window between the tagged rows.
#pragma once

#include "host/host_api.h"
#include "plugin/platform.h"
#include "plugin/state.h"

enum {
    BeepTimerId = 34147,
    BeepTimerPeriodMs = 750,
    MarkerBlockRows = 512,
};

// The active console screen buffer, opened for one operation and closed
// when it goes out of scope, so that no handle survives a call. "CONOUT$"
// reaches the buffer even when standard output is redirected.
class ConsoleOutput {
public:
    ConsoleOutput()
        : handle(CreateFileW(TEXT("CONOUT$"), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL))
    {
    }
    ~ConsoleOutput()
    {
        if (IsOpen())
            CloseHandle(handle);
    }
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle; }

private:
    HANDLE handle;
};

// The keystroke handler behind the export key: tags entered lines, moves
// the window for the hotkeys and consumes them.
void HandleKey(KeyEventRecord* event);

// The cursor's row, or -1 when it cannot be read.
int GetCursorRow(void);
void MarkRow(int row);

// Column 0 of rows top..bottom (at most MarkerBlockRows) into block; false
// when it cannot be read, or comes back as another region.
bool ReadColumnBlock(HANDLE console, CHAR_INFO* block, int top, int bottom);

// Calls visit(row) for every tagged row of a buffer height rows high, in
// increasing order, reading column 0 a block at a time: the whole buffer is
// scanned on every press, and no list of tags is kept. False when a block
// cannot be read, whatever was visited before.
template <typename Visit>
bool VisitTaggedRows(HANDLE console, int height, Visit visit)
{
    CHAR_INFO block[MarkerBlockRows];
    for (int row = 0; row < height; ++row) {
        if (row % MarkerBlockRows == 0) {
            int bottom = row + MarkerBlockRows - 1 < height ? row + MarkerBlockRows - 1 : height - 1;
            if (!ReadColumnBlock(console, block, row, bottom))
                return false;
        }
        if (block[row % MarkerBlockRows].Attributes & Startup.markerAttribute)
            visit(row);
    }
    return true;
}

// The buffer is no taller than the window, as under every pseudo console:
// no hotkey press can move the window there. False when it cannot be told.
bool ConsoleKeepsNoScrollBack(void);

// back: towards lower rows (HotkeyUp); otherwise forward (HotkeyDown).
void ScrollToMarkedRow(bool back);
// The row to go to, or -1 for none.
int FindMarkedRow(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info, bool back);

// The copy hotkey: the output of one command, the one whose line is nearest
// above the prompt or at the window's top, onto the clipboard as text; the
// rate-limited beep when there is none or it cannot be put there.
void CopyCommandOutput(void);

// The error beep, at most once per BeepTimerPeriodMs and only with
// ErrorSound on. A beep disarms the limiter and starts a thread timer whose
// one run arms it again.
struct BeepLimiter {
    bool armed;
    UINT_PTR pendingTimer; // the id SetTimer gave, 0 when no timer is pending
};

constexpr BeepLimiter LoadTimeBeep = {true, 0};

extern BeepLimiter ErrorBeep;

void SoundErrorBeep(void);
void CALLBACK OnBeepTimer(HWND window, UINT message, UINT_PTR timerId, DWORD time);
// Kills a pending re-arm timer, so that no callback into an unloaded module
// can be dispatched, and re-arms the beep.
void CancelBeepTimer(void);
