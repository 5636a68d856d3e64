// What every fuzz target shares: a fresh process state per input, turning
// bytes into UTF-16 text, and the invariants that must hold after any call.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "plugin/state.h"

// Everything back to load time, with a console of the given size.
void ResetProcess(int columns, int rows);

// Pairs of bytes, little-endian, as UTF-16 units (an odd last byte dropped).
std::u16string BytesToText(const uint8_t* data, size_t size);

// Aborts (so that libFuzzer reports the input) unless the user settings
// are a valid set and nothing the plug-in opened or allocated is still open.
void CheckInvariants();

#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition))                                                                       \
            FuzzFailure(#condition, __FILE__, __LINE__);                                        \
    } while (0)

[[noreturn]] void FuzzFailure(const char* condition, const char* file, int line);
