// The console as the navigation reads it: the active screen buffer, opened
// for one operation; a rectangle of cells in one read; the character a
// cell adds to its row's text; column 0's tags a block of rows at a time;
// and the cursor and the window over the buffer.
#pragma once

#include "plugin/platform.h"
#include "plugin/state.h"

enum {
    MarkerBlockRows = 512,
    // Cells per read of a row's text: older consoles refuse transfers much
    // above 64 KB.
    CellBlockCells = 8192,
    // The right half of a double-width character repeats its left half.
    TrailingHalf = 0x0200, // COMMON_LVB_TRAILING_BYTE
};

// The character a cell adds to its row's text, as the clipboard would get
// it: none (0) for the right half of a double-width character, and a space
// for a cell a program left zeroed, which the console shows as a blank.
inline WCHAR CellCharacter(const CHAR_INFO& cell)
{
    if (cell.Attributes & TrailingHalf)
        return 0;
    return cell.Char.UnicodeChar ? cell.Char.UnicodeChar : ' ';
}

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

// The cells of a rectangle (at most CellBlockCells) into block, row after
// row; false when it cannot be read, or comes back as another region.
bool ReadCellBlock(HANDLE console, CHAR_INFO* block, int left, int top, int right, int bottom);
// Column 0 of rows top..bottom (at most MarkerBlockRows).
inline bool ReadColumnBlock(HANDLE console, CHAR_INFO* block, int top, int bottom)
{
    return ReadCellBlock(console, block, 0, top, 0, bottom);
}

// A row's text is read whole, in one read of at most CellBlockCells:
// consoles with wider rows get no typed filter and no terminal mark.
bool RowFitsOneRead(int width);

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

// The cursor's row, or -1 when it cannot be read.
int GetCursorRow(void);

// The buffer is no taller than the window, as under every pseudo console:
// no hotkey press can move the window there, and the terminal keeps the
// scroll-back. ConsoleKeepsNoScrollBack is false when it cannot be told.
inline bool KeepsNoScrollBack(const CONSOLE_SCREEN_BUFFER_INFO* info)
{
    return info->dwSize.Y <= info->srWindow.Bottom - info->srWindow.Top + 1;
}
bool ConsoleKeepsNoScrollBack(void);

// The top row the window gets for row: as close as the buffer's end allows.
inline int WindowTopFor(const CONSOLE_SCREEN_BUFFER_INFO* info, int row)
{
    int highestTop = info->dwSize.Y - (info->srWindow.Bottom - info->srWindow.Top) - 1;
    return row > highestTop ? highestTop : row;
}
