// How the stand-in host numbers a keystroke before it hands it to the
// plug-in's key handler. The numbers are the host's own: the cells of the
// key tables with the Ctrl-Shift and Ctrl-Alt flags taken off, because
// those flags are added by the plug-in from the live modifier state.
#pragma once

#include <windows.h>

#include <stdint.h>

enum HostModifier {
    HostShiftHeld = 1,
    HostCtrlHeld = 2,
    HostAltHeld = 4,
};

enum HostKeyConstant : int32_t {
    HostEnterCode = 13,
    HostCtrlEnterCode = 0xC0D,
    HostShiftEnterCode = 0x80D,
    // A key the host has no number for: bit 16 with a low part that no
    // cell of either table uses, so it can never match a hotkey.
    HostUnnumberedBase = 0x1F000,
};

// Shift 1, Ctrl 2, Alt 4, from a console key event's dwControlKeyState.
int HostModifierMask(DWORD controlKeyState);

// The code for one key-down: virtual key, the character the console made
// of it (0 for none), the modifier mask, and the host generation (1 when
// the newer, extended-key host is simulated). Never 0.
int32_t HostKeyCode(WORD virtualKey, WCHAR character, int modifiers, int extendedHost);

// Shift, Ctrl, Alt, Caps Lock and the like: keys the host never hands on
// by themselves.
bool IsModifierOnlyKey(WORD virtualKey);
