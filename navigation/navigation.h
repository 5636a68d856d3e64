// Tagging command rows in column 0 of the console screen buffer, and moving
// the console window between the tagged rows.
#pragma once

#include "host/host_api.h"
#include "plugin/platform.h"
#include "plugin/state.h"

enum {
    BeepTimerId = 34147,
    BeepTimerPeriodMs = 750,
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

// The keystroke handler behind the export key: tags entered lines, moves
// the window for the hotkeys and consumes them.
void HandleKey(KeyEventRecord* event);

// The cursor's row, or -1 when it cannot be read.
int GetCursorRow(void);
void MarkRow(int row);

// The cells of a rectangle (at most CellBlockCells) into block, row after
// row; false when it cannot be read, or comes back as another region.
bool ReadCellBlock(HANDLE console, CHAR_INFO* block, int left, int top, int right, int bottom);
// Column 0 of rows top..bottom (at most MarkerBlockRows).
inline bool ReadColumnBlock(HANDLE console, CHAR_INFO* block, int top, int bottom)
{
    return ReadCellBlock(console, block, 0, top, 0, bottom);
}

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

// The buffer is no taller than the window, as under every pseudo console:
// no hotkey press can move the window there. False when it cannot be told.
bool ConsoleKeepsNoScrollBack(void);

// ---- find by typing ---------------------------------------------------------

// Where the line being typed began: the cursor at the first keystroke of a
// line, which the host numbers with the line's row, and the prompt before
// it on that row, kept as a checksum of its characters. Learnt once per
// line while the typed filter is on; forgotten when a line is entered, or a
// keyless event tags the cursor's row as one.
struct InputStart {
    bool lineSeen; // a keystroke of the line numbered eventRow came by
    bool known;    // and the cursor and the prompt could be read at it
    COORD position;
    int32_t eventRow;
    uint32_t promptSum; // of the position.X cells before the start
};

constexpr InputStart NoInputStart = {false, false, {0, 0}, 0, 0};

extern InputStart TypingStart;

// Every keystroke but an entered line's: learns where a new line begins,
// and follows the line when the buffer scrolled under it; only while the
// typed filter is on, or VS Code's mark is to carry the line.
void NoteInputStart(int32_t eventRow);
void ForgetInputStart(void);
// Whether the kept prompt stands before the input start on this row.
bool KeptPromptStands(const CHAR_INFO* startRow);

enum { TypedTextLimit = 255 };

// What has been typed on the line, as a filter on the tagged rows. The
// prompt's ending is its last character that is not a space, with the
// spaces after it. A row matches when the typed text (ASCII letters in
// either case) follows the n-th occurrence of that ending on it, n being
// how often the prompt holds it; or, where the prompt has no such
// character, when it stands at the input start's column.
struct CommandFilter {
    WCHAR typed[TypedTextLimit];
    int length; // 0: no filter, every tagged row counts
    WCHAR promptEnd; // 0: no prompt
    int promptEndSpaces;
    int promptEndCount; // n
    int startColumn;
    // The row the line being typed begins on, with or without a filter:
    // neither it nor any row below it is an earlier command or its output.
    int lineRow;
};

// The filter for one press, through the press's console handle and buffer
// information, for the line the key event's row names: empty unless the typed filter is on, the cursor stands after
// the input start and the text between holds more than spaces. False when
// the press must fail instead: the filter is on and the line's start is not
// known, or the typed text cannot be read.
bool ReadCommandFilter(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info, int32_t eventRow,
                       CommandFilter* filter);
bool CommandMatches(const CommandFilter* filter, const CHAR_INFO* cells, int width);

// The search reads a tagged row's text whole, in one read of at most
// CellBlockCells: consoles with wider rows get no filter.
bool RowFitsOneRead(int width);

// The filtered back, forward and copy: the unfiltered rules, among the
// tagged rows the filter matches, walked outward from the window so that
// each stops at the first row the rules allow. -1 or false for none, and on
// any failed read.
int FindMatchingRow(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info, bool back,
                    const CommandFilter* filter);
// The command the copy takes, and the next tagged row after it (below 0 for
// none before the line being typed), where its output ends.
bool FindMatchingCommand(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info, const CommandFilter* filter,
                         int* command, int* end);

// ---- the window ----------------------------------------------------------------

// back: towards lower rows (HotkeyUp); otherwise forward (HotkeyDown).
// eventRow: the row the key event gives for its line.
void ScrollToMarkedRow(bool back, int32_t eventRow);
// The row to go to, or -1 for none: among every tagged row, or with a
// non-empty filter among the tagged rows it matches.
int FindMarkedRow(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info, bool back,
                  const CommandFilter* filter);
// The top row the window gets for row: as close as the buffer's end allows.
inline int WindowTopFor(const CONSOLE_SCREEN_BUFFER_INFO* info, int row)
{
    int highestTop = info->dwSize.Y - (info->srWindow.Bottom - info->srWindow.Top) - 1;
    return row > highestTop ? highestTop : row;
}

// The copy hotkey: the output of one command, the one whose line is nearest
// above the prompt or at the window's top, onto the clipboard as text; the
// rate-limited beep when there is none or it cannot be put there.
// eventRow: the row the key event gives for its line.
void CopyCommandOutput(int32_t eventRow);

// ---- terminal marks ------------------------------------------------------------

// Set by every keystroke but an entered line's: a keyless event after none
// enters no new line for the terminal.
extern bool KeystrokeSinceEnteredLine;

// At an entered line, before its tag: the terminal's mark that the command
// ran, at the line's end, where marks are on and the console keeps no
// scroll-back. The cursor's row when it was read, else -1.
int WriteCommandMark(bool keyless);

// The error beep, at most once per BeepTimerPeriodMs and only with
// ErrorSound on. A beep disarms the limiter and starts a thread timer whose
// one run arms it again.
struct BeepLimiter {
    bool armed;
    UINT_PTR pendingTimer; // the id SetTimer gave, 0 when no timer is pending
};

constexpr BeepLimiter LoadTimeBeep = {true, 0};

extern BeepLimiter ErrorBeep;

void SoundErrorBeep(void);
void CALLBACK OnBeepTimer(HWND window, UINT message, UINT_PTR timerId, DWORD time);
// Kills a pending re-arm timer, so that no callback into an unloaded module
// can be dispatched, and re-arms the beep.
void CancelBeepTimer(void);
