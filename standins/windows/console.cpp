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

} // namespace

const ConsoleProfile DocumentedConsole = {"documented", 0xFFFF, false, false, false, false};
const ConsoleProfile ModernConsole = {"modern", 0xDCFF, true, true, true, false};
const ConsoleProfile PseudoConsole = {"pseudo", 0xDCFF, true, true, true, true};

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

} // extern "C"
