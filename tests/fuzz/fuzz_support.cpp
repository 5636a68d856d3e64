#include "fuzz_support.h"

#include <stdio.h>
#include <stdlib.h>

#include "hotkeys/key_tables.h"
#include "navigation/beep_limiter.h"
#include "standins/host/host_standin.h"
#include "standins/windows/standin_control.h"
#include "tests/native/fresh_process.h"

void FuzzFailure(const char* condition, const char* file, int line)
{
    fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    abort();
}

InputProcess::InputProcess(int columns, int rows)
{
    FreshProcess(columns, rows);
}

// A fresh process without a console holds no memory.
InputProcess::~InputProcess()
{
    FreshProcess(0, 0);
}

std::u16string BytesToText(const uint8_t* data, size_t size)
{
    std::u16string text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.push_back((char16_t)(data[i] | (data[i + 1] << 8)));
    return text;
}

void CheckInvariants()
{
    FUZZ_CHECK(IsValidHotkey(Settings.HotkeyUp));
    FUZZ_CHECK(IsValidHotkey(Settings.HotkeyDown));
    FUZZ_CHECK(Settings.CopyHotkey == 0 || IsValidHotkey(Settings.CopyHotkey));
    FUZZ_CHECK(Settings.Wrap == 0 || Settings.Wrap == 1);
    FUZZ_CHECK(Settings.ErrorSound == 0 || Settings.ErrorSound == 1);
    FUZZ_CHECK(Settings.TypedFilter == 0 || Settings.TypedFilter == 1);
    FUZZ_CHECK(Settings.TerminalMarks >= MarksAuto && Settings.TerminalMarks <= MarksNo);
    FUZZ_CHECK(visibleMarker == 0 || visibleMarker == 1);
    FUZZ_CHECK(ErrorBeep.armed == 0 || ErrorBeep.armed == 1);
    FUZZ_CHECK(standin::OpenConsoleHandles() == 0);
    FUZZ_CHECK(standin::OpenRegistryKeys() == 0);
    FUZZ_CHECK(!standin::ClipboardIsOpen());
    FUZZ_CHECK(standin::LiveGlobalBlocks() == 0);
    FUZZ_CHECK(standin::WrongGlobalFrees() == 0);
}
