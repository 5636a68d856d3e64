// Conversion between key names such as "Ctrl-Alt-Up" and key codes, over
// the table in force.
#pragma once

#include "plugin/state.h"

// A cell's value, or 0 when the text names no cell.
KeyCode KeyNameToCode(const WCHAR* text);
// Writes the code's name, or "None" for 0, into name (capacity units with
// the terminator); false when no cell holds the code and "(unknown)" was
// written instead.
bool KeyCodeToName(KeyCode code, WCHAR* name, size_t capacity);
// Every combination that can serve as a hotkey, one row of the table per
// line, via QPuts.
void ListHotkeys(void);
