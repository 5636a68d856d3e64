// The keystroke handler behind the export key: the one way into tagging,
// the hotkeys, find by typing, the copy and the terminal marks.
#pragma once

#include "host/host_api.h"

// Tags entered lines, moves the window for the hotkeys and consumes them.
void HandleKey(KeyEventRecord* event);
