// The copy hotkey: the output of one command, the one whose line is nearest
// above the prompt or at the window's top, onto the clipboard as text; the
// rate-limited beep when there is none or it cannot be put there.
#pragma once

#include <stdint.h>

// eventRow: the row the key event gives for its line.
void CopyCommandOutput(int32_t eventRow);
