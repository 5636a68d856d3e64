// The process-wide state every subsystem shares. The host calls the plug-in
// one export at a time on its own thread, so plain fields need no lock.
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

enum : KeyCode {
    DefaultHotkeyUp = 0x5008D,   // Ctrl-Alt-Up
    DefaultHotkeyDown = 0x50091, // Ctrl-Alt-Down
};

enum : WORD {
    MarkerAttributeClassic = 0x2000, // unnamed bit between grid-right and reverse video
    MarkerAttributeModern = 0x0800,  // COMMON_LVB_GRID_LVERTICAL
};

struct SettingsState {
    KeyCode HotkeyUp;
    KeyCode HotkeyDown;
    int32_t Wrap;
    int32_t ErrorSound;
    WORD markerAttribute;
    int32_t visibleMarker;
    int32_t beepArmed;
    uint32_t hostVersion;
    int32_t useExtendedKeys;
};

// The values the module has when it is loaded, before InitializePlugin.
constexpr SettingsState LoadTimeSettings = {
    DefaultHotkeyUp, DefaultHotkeyDown, 1, 1, MarkerAttributeClassic, 0, 1, 0, 0,
};

extern SettingsState Settings;

// Start-up and /D: the four user settings back to their defaults; the
// other fields are left alone.
void InstallDefaultSettings();
