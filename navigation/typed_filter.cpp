// Find by typing: the start of the line being typed, and the text typed
// since, read back from the console when a hotkey is pressed.
#include <algorithm>

#include "navigation/navigation.h"
#include "plugin/state.h"

InputStart TypingStart = NoInputStart;

// At the first keystroke of a line the host has printed the prompt and
// nothing typed yet, so the cursor stands where the typing begins. The host
// gives every keystroke of a line the line's row; a new row is a new line.
void NoteInputStart(int32_t eventRow)
{
    if (!Settings.TypedFilter)
        return;
    if (TypingStart.known && TypingStart.eventRow == eventRow)
        return;
    ConsoleOutput console;
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (!console.IsOpen() || !GetConsoleScreenBufferInfo(console.Get(), &info))
        return;
    TypingStart = {true, info.dwCursorPosition, eventRow};
}

// A line entered may be followed by the next one on the same row number, in
// a full buffer: it learns its own start.
void ForgetInputStart(void)
{
    TypingStart = NoInputStart;
}

namespace {

// The typed text as it is read: the first TypedTextLimit characters, and
// whether anything but spaces follows them, since trailing spaces go only
// when they end the whole text. Once something does, nothing further can
// change the filter, and reading stops.
struct TypedReading {
    CommandFilter* filter;
    bool moreAfterLimit;
};

void TakeTyped(TypedReading* reading, WCHAR c)
{
    CommandFilter* f = reading->filter;
    if (f->length < TypedTextLimit)
        f->typed[f->length++] = c;
    else if (c != ' ')
        reading->moreAfterLimit = true;
}

// One block of the rows from the input start to the cursor, whole rows.
bool ReadTypedRows(HANDLE console, CHAR_INFO* block, int width, int top, int bottom, COORD start,
                   COORD cursor, TypedReading* reading)
{
    if (!ReadCellBlock(console, block, 0, top, width - 1, bottom))
        return false;
    CommandFilter* f = reading->filter;
    for (int row = top; row <= bottom; ++row) {
        for (int column = 0; column < width; ++column) {
            if ((row == cursor.Y && column >= cursor.X) || reading->moreAfterLimit)
                return true;
            WCHAR c = CellCharacter(block[(row - top) * width + column]);
            if (c == 0)
                continue;
            if (row == start.Y && column < start.X) {
                f->hasBefore = true;
                f->before = c;
            } else {
                TakeTyped(reading, c);
            }
        }
    }
    return true;
}

bool CursorAfter(COORD start, COORD cursor)
{
    return cursor.Y > start.Y || (cursor.Y == start.Y && cursor.X > start.X);
}

} // namespace

// Rows wider than a block hold no line a person types at, so such a
// console simply has no filter.
void ReadCommandFilter(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info, CommandFilter* filter)
{
    filter->length = 0;
    filter->hasBefore = false;
    filter->before = 0;
    filter->startRow = TypingStart.position.Y;
    COORD start = TypingStart.position;
    COORD cursor = info->dwCursorPosition;
    int width = info->dwSize.X;
    if (!Settings.TypedFilter || !TypingStart.known || !CursorAfter(start, cursor))
        return;
    if (width <= 0 || width > CellBlockCells)
        return;
    CHAR_INFO block[CellBlockCells];
    TypedReading reading = {filter, false};
    int rowsPerRead = CellBlockCells / width;
    for (int top = start.Y; top <= cursor.Y && !reading.moreAfterLimit; top += rowsPerRead) {
        int bottom = std::min(top + rowsPerRead - 1, (int)cursor.Y);
        if (!ReadTypedRows(console, block, width, top, bottom, start, cursor, &reading)) {
            filter->length = 0;
            return;
        }
    }
    if (!reading.moreAfterLimit) {
        while (filter->length > 0 && filter->typed[filter->length - 1] == ' ')
            --filter->length;
    }
}
