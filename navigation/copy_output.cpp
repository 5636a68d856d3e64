// The copy hotkey: the rows a command printed, between the tag of its line
// and the next tag or the line being typed, onto the clipboard as one text.
#include <string.h>

#include "navigation/beep_limiter.h"
#include "navigation/console_cells.h"
#include "navigation/copy_output.h"
#include "navigation/typed_filter.h"

// Rows first..last, inclusive, hold the output.
struct OutputRows {
    int first;
    int last;
};

// The output runs from the command's line to the next tagged row, of any
// command (end, below 0 for none), or to the line being typed.
static bool OutputOf(int command, int end, int lineRow, OutputRows* rows)
{
    if (command < 0 || command >= lineRow)
        return false;
    if (end < 0 || end > lineRow)
        end = lineRow;
    *rows = {command + 1, end - 1};
    return rows->first <= rows->last;
}

// The command is the last one entered when the prompt is on screen, else
// the one the back and forward hotkeys put at the window's top, else the one
// whose output fills the window. A tag from the line being typed down is
// stale: the output ends above that line at the latest, also when a long
// prompt or the typing wrapped it.
static bool FindOutputRows(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO& info, const CommandFilter* filter,
                           OutputRows* rows)
{
    if (filter->length > 0) {
        int command;
        int end;
        return FindMatchingCommand(console, &info, filter, &command, &end) &&
               OutputOf(command, end, filter->lineRow, rows);
    }
    int top = info.srWindow.Top;
    int lineRow = filter->lineRow;
    int aboveLine = -1;    // the highest tagged row above the line being typed
    int aboveTop = -1;     // the highest tagged row above the window
    int fromTop = -1;      // the lowest tagged row from the window's top on
    int afterFromTop = -1; // the tagged row after that
    bool read = VisitTaggedRows(console, info.dwSize.Y, [&](int row) {
        if (row < lineRow)
            aboveLine = row;
        if (row < top)
            aboveTop = row;
        else if (fromTop < 0)
            fromTop = row;
        else if (afterFromTop < 0)
            afterFromTop = row;
    });
    if (!read)
        return false;

    int cursor = info.dwCursorPosition.Y;
    int command = aboveTop;
    int end = fromTop;
    if (cursor >= top && cursor <= info.srWindow.Bottom) {
        command = aboveLine;
        end = lineRow;
    } else if (fromTop >= 0 && fromTop <= info.srWindow.Bottom) {
        command = fromTop;
        end = afterFromTop;
    }
    return OutputOf(command, end, lineRow, rows);
}

// The text as it grows: rows joined by "\r\n", each without its trailing
// spaces; kept is where the last row with a character ends, so that empty
// rows at the end fall away.
struct CopyText {
    WCHAR* text;
    SIZE_T capacity; // units, for every row at its widest
    SIZE_T length;
    SIZE_T kept;
    SIZE_T rowStart;
    int rows;
};

static void StartRow(CopyText* t)
{
    if (t->rows++ > 0) {
        t->text[t->length++] = '\r';
        t->text[t->length++] = '\n';
    }
    t->rowStart = t->length;
}

// A zeroed cell taken as it is would end the clipboard's text there and
// lose every row after it.
static void AppendCells(CopyText* t, const CHAR_INFO* cells, int count)
{
    for (int i = 0; i < count; ++i) {
        WCHAR c = CellCharacter(cells[i]);
        if (c != 0)
            t->text[t->length++] = c;
    }
}

static void EndRow(CopyText* t)
{
    while (t->length > t->rowStart && t->text[t->length - 1] == ' ')
        --t->length;
    if (t->length > t->rowStart)
        t->kept = t->length;
}

// Whole rows at a time when they fit the block, else each row in pieces;
// false when a read fails or no row holds a character.
static bool CollectText(HANDLE console, int width, OutputRows rows, CopyText* t)
{
    CHAR_INFO block[CellBlockCells];
    int pieceWidth = width < CellBlockCells ? width : CellBlockCells;
    int rowsPerRead = CellBlockCells / pieceWidth;
    for (int top = rows.first; top <= rows.last; top += rowsPerRead) {
        int bottom = top + rowsPerRead - 1 < rows.last ? top + rowsPerRead - 1 : rows.last;
        for (int left = 0; left < width; left += pieceWidth) {
            int right = left + pieceWidth < width ? left + pieceWidth - 1 : width - 1;
            if (!ReadCellBlock(console, block, left, top, right, bottom))
                return false;
            int cells = right - left + 1;
            for (int row = top; row <= bottom; ++row) {
                if (left == 0)
                    StartRow(t);
                AppendCells(t, &block[(row - top) * cells], cells);
                if (right == width - 1)
                    EndRow(t);
            }
        }
    }
    // Whoever reads the clipboard may read the block to its full size, so
    // nothing the heap held there before may follow the text.
    memset(t->text + t->kept, 0, (t->capacity - t->kept) * sizeof(WCHAR));
    return t->kept > 0;
}

// A null owner would make SetClipboardData fail after EmptyClipboard had
// already thrown away what the clipboard held.
static bool PutOnClipboard(HGLOBAL memory)
{
    HWND owner = GetConsoleWindow();
    if (!owner || !OpenClipboard(owner))
        return false;
    bool placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != NULL;
    CloseClipboard();
    return placed;
}

// A block that cannot shrink keeps its size: it was cleared past the text.
static HGLOBAL ShrunkToText(HGLOBAL memory, SIZE_T units)
{
    HGLOBAL shrunk = GlobalReAlloc(memory, units * sizeof(WCHAR), GMEM_MOVEABLE);
    return shrunk ? shrunk : memory;
}

// The whole text is built before the clipboard is opened, so that any
// failure leaves the clipboard as it was. The block is the clipboard's once
// it took it, and freed on every other path.
static bool CopyToClipboard(int32_t eventRow)
{
    ConsoleOutput console;
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    CommandFilter filter;
    OutputRows rows;
    if (!console.IsOpen() || !GetConsoleScreenBufferInfo(console.Get(), &info))
        return false;
    if (!ReadCommandFilter(console.Get(), &info, eventRow, &filter))
        return false;
    if (!FindOutputRows(console.Get(), info, &filter, &rows))
        return false;
    int width = info.dwSize.X;
    if (width <= 0)
        return false;
    // Every row at its widest, with its line end, and the terminator.
    SIZE_T units = (SIZE_T)(rows.last - rows.first + 1) * (SIZE_T)(width + 2) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, units * sizeof(WCHAR));
    if (!memory)
        return false;
    CopyText copy = {static_cast<WCHAR*>(GlobalLock(memory)), units, 0, 0, 0, 0};
    bool collected = copy.text && CollectText(console.Get(), width, rows, &copy);
    if (copy.text)
        GlobalUnlock(memory);
    if (collected)
        memory = ShrunkToText(memory, copy.kept + 1);
    if (collected && PutOnClipboard(memory))
        return true;
    GlobalFree(memory);
    return false;
}

void CopyCommandOutput(int32_t eventRow)
{
    if (!CopyToClipboard(eventRow))
        SoundErrorBeep();
}
