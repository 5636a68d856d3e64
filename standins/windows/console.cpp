// One console screen buffer, reached through "CONOUT$".
#include <algorithm>
#include <set>
#include <vector>

#include "standins/windows/standin_internal.h"

namespace standin {
namespace {

struct ConsoleState {
    int columns = 0;
    int rows = 0;
    std::vector<CHAR_INFO> cells;
    std::vector<bool> escapeColoured; // per cell, beside cells
    const ConsoleProfile* profile = &DocumentedConsole;
    SMALL_RECT window = {0, 0, 0, 0};
    COORD cursor = {0, 0};
    bool wrapPending = false; // a character stands in the last column, the cursor still on it
    DWORD outputMode = ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT;
    std::u16string stream;
    bool available = true;
    std::set<uintptr_t> openHandles;
    std::vector<CreateFileCall> createFileCalls;
    uintptr_t nextHandle = 0x1000;
};

ConsoleState& State()
{
    static ConsoleState state;
    return state;
}

bool IsOpenConsole(HANDLE handle)
{
    return State().openHandles.count((uintptr_t)handle) != 0;
}

bool InBuffer(int column, int row)
{
    return column >= 0 && row >= 0 && column < State().columns && row < State().rows;
}

size_t CellIndex(int column, int row)
{
    return (size_t)row * (size_t)State().columns + (size_t)column;
}

CHAR_INFO& Cell(int column, int row)
{
    return State().cells[CellIndex(column, row)];
}

// What ReadConsoleOutputAttribute reports for the cell at index.
WORD AttributeReport(size_t index)
{
    const ConsoleState& s = State();
    if (s.escapeColoured[index] && s.profile->escapeColoursReadAsZero)
        return 0;
    return s.cells[index].Attributes;
}

// An attribute written through the console API: the console keeps what it
// can represent, and the cell becomes a legacy cell.
void StoreAttribute(size_t index, WORD attribute)
{
    ConsoleState& s = State();
    s.cells[index].Attributes = (WORD)(attribute & s.profile->keptAttributeBits);
    s.escapeColoured[index] = false;
}

// Slides a window that reaches past the buffer's end back inside, then
// shrinks what still does not fit.
SMALL_RECT SlidInside(SMALL_RECT w)
{
    const ConsoleState& s = State();
    if (w.Right >= s.columns) {
        w.Left = (SHORT)(w.Left - (w.Right - (s.columns - 1)));
        w.Right = (SHORT)(s.columns - 1);
    }
    if (w.Bottom >= s.rows) {
        w.Top = (SHORT)(w.Top - (w.Bottom - (s.rows - 1)));
        w.Bottom = (SHORT)(s.rows - 1);
    }
    if (w.Left < 0)
        w.Left = 0;
    if (w.Top < 0)
        w.Top = 0;
    return w;
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// Down a row, or at the last one every row up a row.
void NewLine()
{
    ConsoleState& s = State();
    if (s.cursor.Y + 1 < s.rows)
        ++s.cursor.Y;
    else
        ScrollUp();
}

// Text written at the cursor, and sent on to the terminal. A character in
// the last column leaves the cursor on it until the next one wraps, as a
// terminal does; where escape sequences are acted on, an OSC sequence (to
// ESC \ or BEL) shows nothing.
void Output(const std::u16string& text)
{
    ConsoleState& s = State();
    s.stream += text;
    bool vt = s.profile->interpretsVt && (s.outputMode & ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (vt && text.compare(i, 2, u"\x1b]") == 0) {
            i = std::min(text.find_first_of(u"\a\x1b", i + 2), text.size());
            i += i < text.size() && text[i] == 0x1b;
            continue;
        }
        if (c == '\n' || (s.wrapPending && c != '\r'))
            NewLine();
        if (c == '\r' || (s.wrapPending && c != '\n'))
            s.cursor.X = 0;
        s.wrapPending = false;
        if (c == '\r' || c == '\n')
            continue;
        Cell(s.cursor.X, s.cursor.Y) = {{c}, 0x07};
        s.wrapPending = s.cursor.X + 1 == s.columns;
        s.cursor.X = (SHORT)(s.cursor.X + !s.wrapPending);
    }
}

} // namespace

const ConsoleProfile DocumentedConsole = {"documented", 0xFFFF, false, false, false, false, u"ConsoleWindowClass", false};
const ConsoleProfile ModernConsole = {"modern", 0xDCFF, true, true, true, false, u"ConsoleWindowClass", true};
const ConsoleProfile PseudoConsole = {"pseudo", 0xDCFF, true, true, true, true, u"PseudoConsoleWindow", true};

void ResetConsole(int columns, int rows)
{
    State() = ConsoleState();
    SetConsole(columns, rows);
}

void SetConsole(int columns, int rows)
{
    ConsoleState& s = State();
    s.columns = columns;
    s.rows = rows;
    CHAR_INFO blank = {};
    blank.Char.UnicodeChar = ' ';
    blank.Attributes = 0x07;
    s.cells.assign((size_t)columns * (size_t)rows, blank);
    s.escapeColoured.assign(s.cells.size(), false);
    int windowRows = s.profile->bufferIsWindow || rows < 30 ? rows : 30;
    s.window = {0, 0, (SHORT)(columns - 1), (SHORT)(windowRows - 1)};
    s.cursor = {0, 0};
}

void SetConsoleProfile(const ConsoleProfile& profile)
{
    State().profile = &profile;
}

void SetEscapeColoured(int column, int row, WORD nearestLegacy)
{
    Cell(column, row).Attributes = nearestLegacy;
    State().escapeColoured[CellIndex(column, row)] = true;
}

bool IsEscapeColoured(int column, int row)
{
    return State().escapeColoured[CellIndex(column, row)];
}

void SetConsoleAvailable(bool available)
{
    State().available = available;
}

void SetWindow(SMALL_RECT window)
{
    State().window = window;
}

SMALL_RECT Window()
{
    return State().window;
}

COORD BufferSize()
{
    return {(SHORT)State().columns, (SHORT)State().rows};
}

void SetCursor(COORD cursor)
{
    State().cursor = cursor;
    State().wrapPending = false;
}

COORD Cursor()
{
    return State().cursor;
}

void ScrollUp()
{
    ConsoleState& s = State();
    CHAR_INFO blank = {};
    blank.Char.UnicodeChar = ' ';
    blank.Attributes = 0x07;
    s.cells.erase(s.cells.begin(), s.cells.begin() + s.columns);
    s.cells.insert(s.cells.end(), (size_t)s.columns, blank);
    s.escapeColoured.erase(s.escapeColoured.begin(), s.escapeColoured.begin() + s.columns);
    s.escapeColoured.insert(s.escapeColoured.end(), (size_t)s.columns, false);
}

WORD Attribute(int column, int row)
{
    return Cell(column, row).Attributes;
}

void SetAttribute(int column, int row, WORD attribute)
{
    Cell(column, row).Attributes = attribute;
}

WCHAR Character(int column, int row)
{
    return Cell(column, row).Char.UnicodeChar;
}

void SetCharacter(int column, int row, WCHAR c)
{
    Cell(column, row).Char.UnicodeChar = c;
}

std::u16string TerminalStream()
{
    return State().stream;
}

void Print(const std::u16string& text)
{
    Output(text);
}

DWORD OutputMode()
{
    return State().outputMode;
}

int OpenConsoleHandles()
{
    return (int)State().openHandles.size();
}

std::vector<CreateFileCall> CreateFileCalls()
{
    return State().createFileCalls;
}

} // namespace standin

using namespace standin;

extern "C" {

HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                          DWORD disposition, DWORD flags, HANDLE templateFile)
{
    State().createFileCalls.push_back({name ? name : u"", access, share, security != nullptr,
                                       disposition, flags, templateFile != nullptr});
    if (CallFails(Api::CreateFileW) || !State().available) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (name == nullptr || FoldCase(name) != u"conout$" || disposition != OPEN_EXISTING) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    uintptr_t handle = State().nextHandle++;
    State().openHandles.insert(handle);
    return (HANDLE)handle;
}

BOOL WINAPI CloseHandle(HANDLE handle)
{
    // A forced failure still releases the handle: the caller can do nothing
    // more about it, and the open count stays meaningful for tests.
    bool fails = CallFails(Api::CloseHandle);
    bool wasOpen = State().openHandles.erase((uintptr_t)handle) != 0;
    if (fails || !wasOpen)
        return Fail(ERROR_INVALID_HANDLE);
    return TRUE;
}

BOOL WINAPI GetConsoleScreenBufferInfo(HANDLE console, PCONSOLE_SCREEN_BUFFER_INFO info)
{
    if (CallFails(Api::GetConsoleScreenBufferInfo) || !IsOpenConsole(console))
        return Fail(ERROR_INVALID_HANDLE);
    const ConsoleState& s = State();
    info->dwSize = {(SHORT)s.columns, (SHORT)s.rows};
    info->dwCursorPosition = s.cursor;
    info->wAttributes = 0x07;
    info->srWindow = s.window;
    info->dwMaximumWindowSize = {(SHORT)s.columns, (SHORT)(s.rows < 50 ? s.rows : 50)};
    return TRUE;
}

// Reading or writing runs along the row and on into the next ones, and stops
// at the end of the buffer. A start outside the buffer succeeds with no cell,
// as Wine's console answers.
BOOL WINAPI ReadConsoleOutputAttribute(HANDLE console, WORD* attributes, DWORD length, COORD at,
                                       LPDWORD read)
{
    if (CallFails(Api::ReadConsoleOutputAttribute) || !IsOpenConsole(console))
        return Fail(ERROR_INVALID_HANDLE);
    DWORD n = 0;
    if (InBuffer(at.X, at.Y)) {
        size_t start = CellIndex(at.X, at.Y);
        for (; n < length && start + n < State().cells.size(); ++n)
            attributes[n] = AttributeReport(start + n);
    }
    *read = n;
    return TRUE;
}

BOOL WINAPI WriteConsoleOutputAttribute(HANDLE console, const WORD* attributes, DWORD length,
                                        COORD at, LPDWORD written)
{
    if (CallFails(Api::WriteConsoleOutputAttribute) || !IsOpenConsole(console))
        return Fail(ERROR_INVALID_HANDLE);
    DWORD n = 0;
    if (InBuffer(at.X, at.Y)) {
        size_t start = CellIndex(at.X, at.Y);
        for (; n < length && start + n < State().cells.size(); ++n)
            StoreAttribute(start + n, attributes[n]);
    }
    *written = n;
    return TRUE;
}

// The region is clipped to the screen buffer and to the destination, and the
// rectangle actually read is written back; nothing to read leaves Right < Left
// or Bottom < Top, as Windows documents.
BOOL WINAPI ReadConsoleOutputW(HANDLE console, PCHAR_INFO buffer, COORD bufferSize,
                               COORD bufferCoord, PSMALL_RECT region)
{
    if (CallFails(Api::ReadConsoleOutputW) || !IsOpenConsole(console))
        return Fail(ERROR_INVALID_HANDLE);
    if (bufferCoord.X < 0 || bufferCoord.Y < 0 || bufferCoord.X >= bufferSize.X ||
        bufferCoord.Y >= bufferSize.Y)
        return Fail(ERROR_INVALID_PARAMETER);
    int left = region->Left < 0 ? 0 : region->Left;
    int top = region->Top < 0 ? 0 : region->Top;
    int right = region->Right;
    int bottom = region->Bottom;
    if (right >= State().columns)
        right = State().columns - 1;
    if (bottom >= State().rows)
        bottom = State().rows - 1;
    if (right - left + 1 > bufferSize.X - bufferCoord.X)
        right = left + (bufferSize.X - bufferCoord.X) - 1;
    if (bottom - top + 1 > bufferSize.Y - bufferCoord.Y)
        bottom = top + (bufferSize.Y - bufferCoord.Y) - 1;
    if (right < left || bottom < top) {
        if (State().profile->readOutsideBufferFails)
            return Fail(ERROR_INVALID_PARAMETER);
        region->Right = (SHORT)(region->Left - 1);
        region->Bottom = (SHORT)(region->Top - 1);
        return TRUE;
    }
    // A row at a time: the benchmarks and fuzzers read whole buffers.
    const CHAR_INFO* cells = State().cells.data();
    for (int row = top; row <= bottom; ++row) {
        const CHAR_INFO* from = cells + CellIndex(left, row);
        CHAR_INFO* to = buffer + (bufferCoord.Y + (row - top)) * bufferSize.X + bufferCoord.X;
        std::copy(from, from + (right - left + 1), to);
    }
    *region = {(SHORT)left, (SHORT)top, (SHORT)right, (SHORT)bottom};
    return TRUE;
}

BOOL WINAPI SetConsoleWindowInfo(HANDLE console, BOOL absolute, const SMALL_RECT* window)
{
    if (CallFails(Api::SetConsoleWindowInfo) || !IsOpenConsole(console))
        return Fail(ERROR_INVALID_HANDLE);
    SMALL_RECT w = *window;
    if (!absolute) {
        const SMALL_RECT& now = State().window;
        w = {(SHORT)(now.Left + w.Left), (SHORT)(now.Top + w.Top), (SHORT)(now.Right + w.Right),
             (SHORT)(now.Bottom + w.Bottom)};
    }
    if (State().profile->windowPastEndSlides && w.Left >= 0 && w.Top >= 0)
        w = SlidInside(w);
    if (w.Left < 0 || w.Top < 0 || w.Right < w.Left || w.Bottom < w.Top ||
        w.Right >= State().columns || w.Bottom >= State().rows)
        return Fail(ERROR_INVALID_PARAMETER);
    State().window = w;
    return TRUE;
}

BOOL WINAPI GetConsoleMode(HANDLE console, LPDWORD mode)
{
    if (CallFails(Api::GetConsoleMode) || !IsOpenConsole(console))
        return Fail(ERROR_INVALID_HANDLE);
    *mode = State().outputMode;
    return TRUE;
}

BOOL WINAPI SetConsoleMode(HANDLE console, DWORD mode)
{
    if (CallFails(Api::SetConsoleMode) || !IsOpenConsole(console))
        return Fail(ERROR_INVALID_HANDLE);
    State().outputMode = mode;
    return TRUE;
}

BOOL WINAPI SetConsoleCursorPosition(HANDLE console, COORD at)
{
    if (CallFails(Api::SetConsoleCursorPosition) || !IsOpenConsole(console))
        return Fail(ERROR_INVALID_HANDLE);
    if (!InBuffer(at.X, at.Y))
        return Fail(ERROR_INVALID_PARAMETER);
    SetCursor(at);
    const SMALL_RECT& w = State().window;
    std::string cup = "\x1b[" + std::to_string(at.Y - w.Top + 1) + ";" + std::to_string(at.X - w.Left + 1) + "H";
    State().stream += std::u16string(cup.begin(), cup.end());
    return TRUE;
}

BOOL WINAPI WriteConsoleW(HANDLE console, const void* text, DWORD length, LPDWORD written, LPVOID)
{
    if (CallFails(Api::WriteConsoleW) || !IsOpenConsole(console))
        return Fail(ERROR_INVALID_HANDLE);
    Output(std::u16string(static_cast<const char16_t*>(text), length));
    *written = length;
    return TRUE;
}

int WINAPI GetClassNameW(HWND window, LPWSTR name, int size)
{
    if (CallFails(Api::GetClassNameW) || !window || size <= 0) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    std::u16string copied = std::u16string(State().profile->windowClass).substr(0, (size_t)size - 1);
    copied.copy(name, copied.size());
    name[copied.size()] = 0;
    return (int)copied.size();
}

} // extern "C"
