// Terminal marks: at each entered line, the shell-integration mark that
// says the command was entered and its output starts here, written at the
// line's end before the host acts on the key. A prompt string can write the
// marks around a prompt, but not this one: it must come when the line is
// entered, and only a keystroke handler sees that. Terminals built on the
// pseudo console pass it through to their own scroll-back.
#include <algorithm>

#include "navigation/console_cells.h"
#include "navigation/terminal_marks.h"
#include "navigation/typed_filter.h"
#include "plugin/state.h"

bool KeystrokeSinceEnteredLine = false;

enum : DWORD { VirtualTerminalProcessing = 0x0004 }; // ENABLE_VIRTUAL_TERMINAL_PROCESSING

// Each mark is terminated by ESC \, which a console that shows the escape
// as a glyph also shows, rather than BEL, which it would ring.
static const WCHAR CommandMark[] = TEXT("\x1b]133;C\x1b\\");
static const WCHAR VsCodeCommandMark[] = TEXT("\x1b]633;C\x1b\\");
static const WCHAR VsCodeLineOpen[] = TEXT("\x1b]633;E;");
static const WCHAR MarkClose[] = TEXT("\x1b\\");

namespace {

// The line VS Code gets is escaped: each unit at most four.
struct MarkText {
    WCHAR text[4 * CellBlockCells + 32];
    int length;
};

void Append(MarkText* m, const WCHAR* text)
{
    while (*text)
        m->text[m->length++] = *text++;
}

// As VS Code reads its line: a backslash doubled, and a semicolon, every
// control character and the space as \x and two lowercase digits. DEL and
// the C1 controls too, since 0x9C would end the sequence in a terminal that
// takes eight-bit controls; VS Code reads them back the same way.
void AppendEscaped(MarkText* m, WCHAR c)
{
    static const char Digits[] = "0123456789abcdef";
    if (c == '\\') {
        Append(m, TEXT("\\\\"));
    } else if (c <= 0x20 || c == ';' || (c >= 0x7F && c <= 0x9F)) {
        Append(m, TEXT("\\x"));
        m->text[m->length++] = (WCHAR)Digits[c >> 4];
        m->text[m->length++] = (WCHAR)Digits[c & 0xF];
    } else {
        m->text[m->length++] = c;
    }
}

// The rows read, from the line's first row the mark needs on.
struct LineCells {
    CHAR_INFO cells[CellBlockCells];
    int top;
    int width;
    int rows;
};

// Together near 100 KB, too much for the host's stack, which an export
// shares: kept with the module, and used by one call at a time.
LineCells line;
MarkText mark;

int OffsetOf(const LineCells* l, COORD at)
{
    return (at.Y - l->top) * l->width + at.X;
}

COORD PositionOf(const LineCells* l, int offset)
{
    return {(SHORT)(offset % l->width), (SHORT)(l->top + offset / l->width)};
}

// Just past the line's last character at or after the cursor, on the
// cursor's row and the rows it wraps onto: a row goes on when its last
// column holds a character. The cursor's own offset when only spaces
// follow it; -1 when the line runs on past the rows read.
int LineEnd(const LineCells* l, int cursor, bool readToBufferEnd)
{
    int end = cursor;
    for (int at = cursor; at < l->rows * l->width; ++at) {
        bool character = CellCharacter(l->cells[at]) != ' ';
        if (character)
            end = at + 1;
        if (at % l->width == l->width - 1 && !character)
            return end;
    }
    return readToBufferEnd ? end : -1;
}

// The cells from the input start to the line's end, without the spaces
// that end them, for VS Code.
void AppendLine(MarkText* m, const LineCells* l, int start, int end)
{
    while (end > start && CellCharacter(l->cells[end - 1]) == ' ')
        --end;
    for (int at = start; at < end; ++at) {
        WCHAR c = CellCharacter(l->cells[at]);
        if (c != 0)
            AppendEscaped(m, c);
    }
}

// The input start's row is read too when VS Code gets the line, if one
// read reaches from it to the cursor; a start past the row's end was learnt
// before the buffer narrowed.
bool KnowsLineStart(COORD cursor, int width, int rowsPerRead)
{
    COORD start = TypingStart.position;
    bool beforeCursor = start.Y < cursor.Y || (start.Y == cursor.Y && start.X <= cursor.X);
    return Startup.underVsCode && TypingStart.known && start.X < width && beforeCursor &&
           cursor.Y - start.Y < rowsPerRead;
}

// Writes with virtual-terminal processing on, so that the console passes
// the mark on instead of showing it, and with the cursor moved to the mark
// when the line goes on at or after it (the terminal's cursor may wait to
// wrap past a full row); both are put back as they were. DECSC and DECRC
// are not used: a terminal's DECRC would undo the kind of text the mark set.
void WriteAt(HANDLE console, COORD at, bool moved, COORD cursor, const MarkText* m)
{
    DWORD mode = 0;
    if (!GetConsoleMode(console, &mode))
        return;
    bool switched = !(mode & VirtualTerminalProcessing);
    if (switched && !SetConsoleMode(console, mode | VirtualTerminalProcessing))
        return;
    if (!moved || SetConsoleCursorPosition(console, at)) {
        DWORD written = 0;
        WriteConsoleW(console, m->text, (DWORD)m->length, &written, NULL);
        if (moved)
            SetConsoleCursorPosition(console, cursor);
    }
    if (switched)
        SetConsoleMode(console, mode);
}

// The mark for the line being entered, and where it goes: right after the
// line's last character, or on it where it fills the row's last column,
// since no position lies after it there without scrolling.
void MarkLine(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info)
{
    int width = info->dwSize.X;
    COORD cursor = info->dwCursorPosition;
    if (!RowFitsOneRead(width) || cursor.X < 0 || cursor.X >= width)
        return;
    int rowsPerRead = CellBlockCells / width;
    bool lineStart = KnowsLineStart(cursor, width, rowsPerRead);
    line.top = lineStart ? TypingStart.position.Y : cursor.Y;
    line.width = width;
    line.rows = std::min(rowsPerRead, info->dwSize.Y - line.top);
    int bottom = line.top + line.rows - 1;
    if (!ReadCellBlock(console, line.cells, 0, line.top, width - 1, bottom))
        return;
    int cursorAt = OffsetOf(&line, cursor);
    int end = LineEnd(&line, cursorAt, bottom == info->dwSize.Y - 1);
    if (end < 0)
        return;
    bool moved = end > cursorAt;
    COORD at = PositionOf(&line, moved && end % width == 0 ? end - 1 : end);
    mark.length = 0;
    if (!Startup.underVsCode) {
        Append(&mark, CommandMark);
    } else {
        if (lineStart && KeptPromptStands(line.cells)) {
            Append(&mark, VsCodeLineOpen);
            AppendLine(&mark, &line, TypingStart.position.X, end);
            Append(&mark, MarkClose);
        }
        Append(&mark, VsCodeCommandMark);
    }
    WriteAt(console, at, moved, cursor, &mark);
}

} // namespace

int WriteCommandMark(bool keyless)
{
    bool typed = KeystrokeSinceEnteredLine;
    KeystrokeSinceEnteredLine = false;
    if (!TerminalMarksOn() || (keyless && !typed))
        return -1;
    ConsoleOutput console;
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (!console.IsOpen() || !GetConsoleScreenBufferInfo(console.Get(), &info))
        return -1;
    // A console with scroll-back keeps its own commands: no terminal needs the mark.
    if (KeepsNoScrollBack(&info))
        MarkLine(console.Get(), &info);
    return info.dwCursorPosition.Y;
}
