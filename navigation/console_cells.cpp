// The console reads that tagging, the searches, the copy and the marks share.
#include "navigation/console_cells.h"

// A region that comes back clipped means the buffer shrank since its size
// was read, and the cells past the clip would be whatever the previous block
// left there.
bool ReadCellBlock(HANDLE console, CHAR_INFO* block, int left, int top, int right, int bottom)
{
    COORD size = {(SHORT)(right - left + 1), (SHORT)(bottom - top + 1)};
    COORD origin = {0, 0};
    SMALL_RECT region = {(SHORT)left, (SHORT)top, (SHORT)right, (SHORT)bottom};
    if (!ReadConsoleOutputW(console, block, size, origin, &region))
        return false;
    return region.Left == left && region.Top == top && region.Right == right && region.Bottom == bottom;
}

bool RowFitsOneRead(int width)
{
    return width > 0 && width <= CellBlockCells;
}

int GetCursorRow(void)
{
    ConsoleOutput console;
    if (!console.IsOpen())
        return -1;
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (!GetConsoleScreenBufferInfo(console.Get(), &info))
        return -1;
    return info.dwCursorPosition.Y;
}

bool ConsoleKeepsNoScrollBack(void)
{
    ConsoleOutput console;
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (!console.IsOpen() || !GetConsoleScreenBufferInfo(console.Get(), &info))
        return false;
    return KeepsNoScrollBack(&info);
}
