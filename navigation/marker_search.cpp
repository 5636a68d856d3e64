// The back and forward hotkeys without the typed filter: column 0 scanned
// for tags, and the window moved to the one the rules choose.
#include "navigation/beep_limiter.h"
#include "navigation/console_cells.h"
#include "navigation/row_tags.h"
#include "navigation/typed_filter.h"
#include "plugin/state.h"

struct MarkedRows {
    int first; // lowest tagged row
    int last;  // highest tagged row
    int prev;  // highest tagged row above the window's top row
    int next;  // lowest tagged row below the window's top row
};

// Scans column 0 of the whole buffer; false when a block cannot be read.
static bool ScanMarkedRows(HANDLE console, int height, int top, MarkedRows* rows)
{
    *rows = MarkedRows{-1, -1, -1, -1};
    return VisitTaggedRows(console, height, [&](int row) {
        if (rows->first < 0)
            rows->first = row;
        if (row < top)
            rows->prev = row;
        if (row > top && rows->next < 0)
            rows->next = row;
        rows->last = row;
    });
}

// The row to go to, or -1 for none: among every tagged row, or with a
// non-empty filter among the tagged rows it matches.
static int FindMarkedRow(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info, bool back,
                         const CommandFilter* filter)
{
    if (filter->length > 0)
        return FindMatchingRow(console, info, back, filter);
    int top = info->srWindow.Top;
    MarkedRows rows;
    if (!ScanMarkedRows(console, info->dwSize.Y, top, &rows))
        return -1;
    if (back) {
        if (rows.prev >= 0)
            return rows.prev;
        return Settings.Wrap ? rows.last : -1;
    }
    int row = rows.next >= 0 ? rows.next : (Settings.Wrap ? rows.first : -1);
    // The next tag may already be on screen with the window at the bottom of
    // the buffer: going there would not move the window at all.
    if (row > 0 && WindowTopFor(info, row) == top)
        row = Settings.Wrap ? rows.first : -1;
    return row;
}

// Same width and height, scrolled back to column 0.
static bool MoveWindowTo(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info, int row)
{
    const SMALL_RECT& old = info->srWindow;
    int top = WindowTopFor(info, row);
    SMALL_RECT window;
    window.Left = 0;
    window.Top = (SHORT)top;
    window.Right = (SHORT)(old.Right - old.Left);
    window.Bottom = (SHORT)(top + (old.Bottom - old.Top));
    return SetConsoleWindowInfo(console, TRUE, &window) != FALSE;
}

// The console is closed again before a failure beeps.
static bool ScrollConsole(bool back, int32_t eventRow)
{
    ConsoleOutput console;
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (!console.IsOpen() || !GetConsoleScreenBufferInfo(console.Get(), &info))
        return false;
    CommandFilter filter;
    if (!ReadCommandFilter(console.Get(), &info, eventRow, &filter))
        return false;
    int row = FindMarkedRow(console.Get(), &info, back, &filter);
    return row >= 0 && row < info.dwSize.Y && MoveWindowTo(console.Get(), &info, row);
}

void ScrollToMarkedRow(bool back, int32_t eventRow)
{
    if (!ScrollConsole(back, eventRow))
        SoundErrorBeep();
}
