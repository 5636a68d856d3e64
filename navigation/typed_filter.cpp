// Find by typing: the start of the line being typed, the text typed since,
// read back from the console when a hotkey is pressed, and which command
// rows it matches.
#include <algorithm>

#include "navigation/console_cells.h"
#include "navigation/typed_filter.h"
#include "plugin/state.h"
#include "plugin/text.h"

InputStart TypingStart = NoInputStart;

// The prompt's characters, read as the copy reads cells, as one number:
// enough to tell whether the prompt still stands where it stood.
static uint32_t PromptSum(const CHAR_INFO* cells, int count)
{
    uint32_t sum = 2166136261u; // FNV-1a
    for (int column = 0; column < count; ++column) {
        WCHAR c = CellCharacter(cells[column]);
        if (c != 0)
            sum = (sum ^ c) * 16777619u;
    }
    return sum;
}

// At the first keystroke of a line the host has printed the prompt and
// nothing typed yet, so the cursor stands where the typing begins. A later
// keystroke of the line would take what was typed for the prompt, so a
// cursor or prompt that cannot be read then leaves the start unknown. Where
// no row fits one read the filter reads nothing, so the prompt is not kept.
static void BeginLine(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info, int32_t eventRow)
{
    COORD cursor = info->dwCursorPosition;
    TypingStart = {true, false, cursor, eventRow, PromptSum(nullptr, 0)};
    if (cursor.X == 0 || !RowFitsOneRead(info->dwSize.X)) {
        TypingStart.known = true;
        return;
    }
    CHAR_INFO block[CellBlockCells];
    if (!ReadCellBlock(console, block, 0, cursor.Y, cursor.X - 1, cursor.Y))
        return;
    TypingStart.known = true;
    TypingStart.promptSum = PromptSum(block, cursor.X);
}

enum LineMove { LineStayed, LineMoved, MoveUnknown };

// A keystroke numbered rows above the line's own: a full buffer scrolled
// under a line that wrapped at its last row, and the host followed its
// line, when the kept prompt now stands that many rows higher and no longer
// on the start's row. One read takes in every row between.
static LineMove FollowLine(HANDLE console, int32_t eventRow)
{
    InputStart& s = TypingStart;
    int rows = s.eventRow - eventRow;
    int columns = s.position.X;
    int top = s.position.Y - rows;
    if (!s.known || columns == 0 || top < 0)
        return LineStayed;
    if ((rows + 1) * columns > CellBlockCells)
        return MoveUnknown;
    CHAR_INFO block[CellBlockCells];
    if (!ReadCellBlock(console, block, 0, top, columns - 1, s.position.Y))
        return MoveUnknown;
    if (PromptSum(block, columns) != s.promptSum || PromptSum(&block[rows * columns], columns) == s.promptSum)
        return LineStayed;
    s.position.Y = (SHORT)top;
    s.eventRow = eventRow;
    return LineMoved;
}

bool KeptPromptStands(const CHAR_INFO* startRow)
{
    return PromptSum(startRow, TypingStart.position.X) == TypingStart.promptSum;
}

// The filter reads what was typed from the start, and VS Code's mark
// carries the line from it.
static bool LearnsInputStart(void)
{
    return Settings.TypedFilter || (TerminalMarksOn() && Startup.underVsCode);
}

// A line seen, whose start could not be learnt.
static InputStart UnknownStart(int32_t eventRow)
{
    return {true, false, {0, 0}, eventRow, 0};
}

// A row below 0 or under the cursor names no line: a hotkey sent so keeps
// what is known of the line being typed.
void NoteInputStart(int32_t eventRow)
{
    if (!LearnsInputStart() || eventRow < 0)
        return;
    if (TypingStart.lineSeen && TypingStart.eventRow == eventRow)
        return;
    ConsoleOutput console;
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (!console.IsOpen() || !GetConsoleScreenBufferInfo(console.Get(), &info)) {
        TypingStart = UnknownStart(eventRow);
        return;
    }
    if (eventRow > info.dwCursorPosition.Y)
        return;
    LineMove move = TypingStart.lineSeen && eventRow < TypingStart.eventRow ? FollowLine(console.Get(), eventRow)
                                                                             : LineStayed;
    if (move == LineStayed)
        BeginLine(console.Get(), &info, eventRow);
    else if (move == MoveUnknown)
        TypingStart = UnknownStart(eventRow);
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
    if (!RowFitsOneRead(width))
        return true;
    // Nor where the kept prompt no longer stands before the start: the
    // buffer scrolled under the line, and the host kept its row.
    CHAR_INFO block[CellBlockCells];
    if (!CursorAfter(start, cursor))
        return start.X == 0 || (ReadCellBlock(console, block, 0, start.Y, start.X - 1, start.Y) &&
                                KeptPromptStands(block));
    TypedReading reading = {filter, false};
    int rowsPerRead = CellBlockCells / width;
    for (int top = start.Y; top <= cursor.Y && !reading.moreAfterLimit; top += rowsPerRead) {
        int bottom = std::min(top + rowsPerRead - 1, (int)cursor.Y);
        if (!ReadTypedRows(console, block, width, top, bottom, start, cursor, &reading))
            return false;
        if (top != start.Y)
            continue;
        if (!KeptPromptStands(block))
            return false;
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
