// Find by typing: the start of the line being typed, the text typed since,
// read back from the console when a hotkey is pressed, and which command
// rows it matches.
#include <algorithm>

#include "navigation/navigation.h"
#include "plugin/state.h"
#include "plugin/text.h"

InputStart TypingStart = NoInputStart;

// At the first keystroke of a line the host has printed the prompt and
// nothing typed yet, so the cursor stands where the typing begins. The host
// gives every keystroke of a line the line's row; a new row is a new line.
// A later keystroke of the line would take what was typed for the prompt,
// so a cursor that cannot be read then leaves the start unknown.
void NoteInputStart(int32_t eventRow)
{
    if (!Settings.TypedFilter)
        return;
    if (TypingStart.lineSeen && TypingStart.eventRow == eventRow)
        return;
    TypingStart = {true, false, {0, 0}, eventRow};
    ConsoleOutput console;
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (!console.IsOpen() || !GetConsoleScreenBufferInfo(console.Get(), &info))
        return;
    TypingStart.known = true;
    TypingStart.position = info.dwCursorPosition;
}

// A line entered may be followed by the next one on the same row number, in
// a full buffer: it learns its own start.
void ForgetInputStart(void)
{
    TypingStart = NoInputStart;
}

// The host's row is where the line began also when a long prompt or the
// typing wrapped the line onto the rows below. A line never begins below
// the cursor that stands on it.
static int LineFirstRow(int32_t eventRow, int cursorRow)
{
    if (eventRow >= 0 && eventRow <= cursorRow)
        return eventRow;
    if (TypingStart.known)
        return std::min((int)TypingStart.position.Y, cursorRow);
    return cursorRow;
}

namespace {

// The prompt's ending in a row's text, found a character at a time: count
// endings so far, and the column after the last of them.
struct EndingScan {
    int count;
    int after;
};

enum { EveryEnding = 0x7FFFFFFF };

// Cells 0..end-1 of a row, up to the limit-th ending. The ending's
// character is no space, so two endings can never overlap.
EndingScan ScanPromptEndings(const CommandFilter* f, const CHAR_INFO* cells, int end, int limit)
{
    EndingScan scan = {0, 0};
    int spaces = -1; // since the ending's character; -1 while none is open
    for (int column = 0; column < end && scan.count < limit; ++column) {
        WCHAR c = CellCharacter(cells[column]);
        if (c == 0)
            continue;
        if (c == f->promptEnd)
            spaces = 0;
        else if (c == ' ' && spaces >= 0)
            ++spaces;
        else
            spaces = -1;
        if (spaces == f->promptEndSpaces) {
            spaces = -1;
            scan = {scan.count + 1, column + 1};
        }
    }
    return scan;
}

// The prompt is what stands before the input start on its row.
void LearnPrompt(CommandFilter* f, const CHAR_INFO* row, int startColumn)
{
    f->startColumn = startColumn;
    for (int column = 0; column < startColumn; ++column) {
        WCHAR c = CellCharacter(row[column]);
        if (c != 0 && c != ' ') {
            f->promptEnd = c;
            f->promptEndSpaces = 0;
        } else if (c == ' ' && f->promptEnd) {
            ++f->promptEndSpaces;
        }
    }
    if (f->promptEnd)
        f->promptEndCount = ScanPromptEndings(f, row, startColumn, EveryEnding).count;
}

// Whether the row's text goes on with the typed text from column on.
bool TypedFrom(const CHAR_INFO* cells, int width, int column, const CommandFilter* f)
{
    int matched = 0;
    for (; column < width && matched < f->length; ++column) {
        WCHAR c = CellCharacter(cells[column]);
        if (c == 0)
            continue;
        if (AsciiLower(c) != AsciiLower(f->typed[matched]))
            return false;
        ++matched;
    }
    return matched == f->length;
}

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
    for (int row = top; row <= bottom; ++row) {
        int column = row == start.Y ? start.X : 0;
        for (; column < width; ++column) {
            if ((row == cursor.Y && column >= cursor.X) || reading->moreAfterLimit)
                return true;
            WCHAR c = CellCharacter(block[(row - top) * width + column]);
            if (c != 0)
                TakeTyped(reading, c);
        }
    }
    return true;
}

bool CursorAfter(COORD start, COORD cursor)
{
    return cursor.Y > start.Y || (cursor.Y == start.Y && cursor.X > start.X);
}

} // namespace

bool ReadCommandFilter(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info, int32_t eventRow,
                       CommandFilter* filter)
{
    COORD start = TypingStart.position;
    COORD cursor = info->dwCursorPosition;
    *filter = {};
    filter->lineRow = LineFirstRow(eventRow, cursor.Y);
    int width = info->dwSize.X;
    if (!Settings.TypedFilter)
        return true;
    // Without the start, what was typed cannot be told from the prompt; nor
    // with a start past the row's end, learnt before the buffer narrowed.
    if (!TypingStart.known || start.X >= width)
        return false;
    if (!CursorAfter(start, cursor) || !RowFitsOneRead(width))
        return true;
    CHAR_INFO block[CellBlockCells];
    TypedReading reading = {filter, false};
    int rowsPerRead = CellBlockCells / width;
    for (int top = start.Y; top <= cursor.Y && !reading.moreAfterLimit; top += rowsPerRead) {
        int bottom = std::min(top + rowsPerRead - 1, (int)cursor.Y);
        if (!ReadTypedRows(console, block, width, top, bottom, start, cursor, &reading))
            return false;
        if (top == start.Y)
            LearnPrompt(filter, block, start.X);
    }
    if (!reading.moreAfterLimit) {
        while (filter->length > 0 && filter->typed[filter->length - 1] == ' ')
            --filter->length;
    }
    return true;
}

bool CommandMatches(const CommandFilter* filter, const CHAR_INFO* cells, int width)
{
    if (!filter->promptEnd)
        return TypedFrom(cells, width, filter->startColumn, filter);
    EndingScan scan = ScanPromptEndings(filter, cells, width, filter->promptEndCount);
    return scan.count == filter->promptEndCount && TypedFrom(cells, width, scan.after, filter);
}
