// What every fuzz target shares: a fresh process state per input, turning
// bytes into UTF-16 text, and the invariants that must hold after any call.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "plugin/state.h"

// The process one input runs in: everything as at load, with a console of
// the given size. When the input ends, whatever the stand-ins hold is freed,
// so that libFuzzer sees as many frees as allocations and has no leak to run
// the input again for. A block the input does leave behind is a real leak,
// and LeakSanitizer fails the run on it.
class InputProcess {
public:
    InputProcess(int columns, int rows);
    ~InputProcess();
    InputProcess(const InputProcess&) = delete;
    InputProcess& operator=(const InputProcess&) = delete;
};

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
