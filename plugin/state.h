// The process-wide state the subsystems share, each record with the one
// place that writes it. The host calls the plug-in one export at a time on
// its own thread, so plain fields need no lock.
#pragma once

#include <stdint.h>

#include "plugin/platform.h"

// Bits 0-16: the host's code; bit 17 Ctrl+Shift held; bit 18 Ctrl+Alt held.
typedef int32_t KeyCode;

enum : KeyCode {
    CtrlShiftFlag = 0x20000,
    CtrlAltFlag = 0x40000,
    KeyCodeInvalid = -1,
    KeyCodeNotAllowed = -2,
};

// Whether entered lines get the terminal's mark: auto, the default, writes
// them in a pseudo console only.
enum : int32_t { MarksAuto = 0, MarksYes = 1, MarksNo = 2 };

// The settings the user sees, changes and saves. Start-up installs the
// defaults and lays saved ones over them; the command changes them.
struct UserSettings {
    KeyCode HotkeyUp;
    KeyCode HotkeyDown;
    int32_t Wrap;       // 0 or 1
    int32_t ErrorSound; // 0 or 1
    KeyCode CopyHotkey; // 0: none, and then nothing of it shows anywhere
    int32_t TypedFilter; // 0 or 1: the hotkeys visit only commands that begin as the line typed
    int32_t TerminalMarks; // MarksAuto, MarksYes or MarksNo
};

constexpr UserSettings DefaultSettings = {
    0x5008D, // Ctrl-Alt-Up
    0x50091, // Ctrl-Alt-Down
    1,
    1,
    0,
    0,
    MarksAuto,
};

extern UserSettings Settings;

enum : WORD {
    MarkerAttributeClassic = 0x2000, // unnamed bit between grid-right and reverse video
    MarkerAttributeModern = 0x0800,  // COMMON_LVB_GRID_LVERTICAL
};

// What start-up learns about the host and Windows, written there once and
// only read afterwards.
struct StartupFacts {
    uint32_t hostVersion;  // 0, or 8 to 100
    bool useExtendedKeys;  // a host above version 23: the extended key table
    WORD markerAttribute;  // the bit that tags a command row
    bool pseudoConsole;    // the console's window is a pseudo console's
    bool underVsCode;      // TERM_PROGRAM says the VS Code terminal
};

constexpr StartupFacts LoadTimeFacts = {0, false, MarkerAttributeClassic, false, false};

extern StartupFacts Startup;

// A plug-in loaded into a pseudo console stays in one, so auto is decided
// once; the buffer's height is checked at each entered line.
inline bool TerminalMarksOn(void)
{
    return Settings.TerminalMarks == MarksYes || (Settings.TerminalMarks == MarksAuto && Startup.pseudoConsole);
}

// Per process, set by the command's /VM and never saved or shown: tagging
// also recolours the cell so that the tag can be seen.
extern int32_t visibleMarker;

// Every process-wide value of the module back to what it is at load time:
// the shared records above, the beep limiter and the argument list. Tests,
// fuzz targets and benchmarks start each case from here.
void ResetModuleState(void);
