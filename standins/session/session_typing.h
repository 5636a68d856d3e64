// The line being typed at the prompt: its text, and the row it began on.
#pragma once

#include <windows.h>

#include "standins/session/session_line.h"

struct TypedLine {
    SessionLine text;
    int startRow; // the cursor's row after the prompt, where the typing began, as the buffer moves
};

// Once the prompt is written: the line begins at the cursor.
void BeginTypedLine(TypedLine* line);

// The row the host hands the plug-in with every key of the line, hotkeys
// included: the row where the line begins, however far the typing has
// wrapped since, and one higher for each row the typing scrolled a full
// buffer up. The plug-in tells one line from the next by it.
int TypedLineRow(const TypedLine& line);

// A typable character is echoed, Backspace erases the last one and Esc the
// whole line, on the screen and in the text. Other keys change nothing.
void EditTypedLine(TypedLine* line, WORD virtualKey, WCHAR character, int modifiers);
