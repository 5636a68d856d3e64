// Conversion between key names such as "Ctrl-Alt-Up" and key codes, over
// the table in force.
#pragma once

#include "plugin/state.h"

// A cell's value, or 0 when the text names no cell.
KeyCode KeyNameToCode(const WCHAR* text);
// Writes the name (or "None", or "(unknown)" returning -1) into a buffer of
// TextBufferLength units; returns 0 otherwise.
int KeyCodeToName(KeyCode code, WCHAR* name);
// Every combination with a code, one row of the table per line, via QPuts.
int ListHotkeys(void);
