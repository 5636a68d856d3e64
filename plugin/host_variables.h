// Expanding host variables in a fixed buffer.
#pragma once

#include <stddef.h>

#include "plugin/platform.h"

// Zero-fills buffer, copies text in (bounded), lets the host expand it in
// place, and terminates the last unit so that a host filling the buffer to
// the brim cannot leave an unterminated text behind.
void ExpandHostVariables(WCHAR* buffer, size_t capacity, const WCHAR* text);
