// Tagging the row an entered line began on, with one attribute bit in
// column 0, and the back and forward hotkeys: the window moved so that the
// previous or next tagged row is its top row.
#pragma once

#include <stdint.h>

void MarkRow(int row);

// back: towards lower rows (HotkeyUp); otherwise forward (HotkeyDown).
// eventRow: the row the key event gives for its line.
void ScrollToMarkedRow(bool back, int32_t eventRow);
