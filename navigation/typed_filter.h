// Find by typing: where the line being typed began and the prompt before
// it, the text typed since, read back when a hotkey is pressed, which
// command rows it matches, and the walk outward from the window that the
// filtered back, forward and copy share.
#pragma once

#include <stdint.h>

#include "plugin/platform.h"

// Where the line being typed began: the cursor at the first keystroke of a
// line, which the host numbers with the line's row, and the prompt before
// it on that row, kept as a checksum of its characters. Learnt once per
// line while the typed filter is on, or VS Code's terminal mark is to carry
// the line; forgotten when a line is entered, or a keyless event tags the
// cursor's row as one.
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
// information, for the line the key event's row names: empty unless the
// typed filter is on, the cursor stands after the input start and the text
// between holds more than spaces. False when
// the press must fail instead: the filter is on and the line's start is not
// known, or the typed text cannot be read.
bool ReadCommandFilter(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info, int32_t eventRow,
                       CommandFilter* filter);
bool CommandMatches(const CommandFilter* filter, const CHAR_INFO* cells, int width);

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
