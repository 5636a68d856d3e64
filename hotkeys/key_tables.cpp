// What both key tables share: the names of the modifier columns, the choice
// of table, and the test for a code that may serve as a hotkey.
#include "hotkeys/key_tables.h"

const WCHAR ModifierPrefixes[MaxKeyColumns][PrefixLength] = {
    TEXT(""),
    TEXT("Shift-"),
    TEXT("Ctrl-"),
    TEXT("Alt-"),
    TEXT("Ctrl-Shift-"),
    TEXT("Ctrl-Alt-"),
    TEXT("Ctrl-Alt-Shift-"),
};

// The flag is set once at start-up; asking on every call keeps any caller
// that runs before start-up on the classic table.
const KeyTable& KeyTableInForce()
{
    return Startup.useExtendedKeys ? ExtendedKeyTable : ClassicKeyTable;
}

// The older host delivers only the code, to which the modifier flags are
// added after the entered-line test; the newer host may name the keystroke
// instead, and a name carries its modifiers, so there only the bare codes
// are lost.
bool EntersTheLine(KeyCode hotkey)
{
    KeyCode hostCode = Startup.useExtendedKeys ? hotkey : hotkey & ~(CtrlShiftFlag | CtrlAltFlag);
    return hostCode == EnterCode || hostCode == CtrlEnterCode;
}

bool IsValidHotkey(KeyCode code)
{
    // Cells also hold the negative markers; those never make a code valid.
    if (code <= 0)
        return false;
    const KeyTable& table = KeyTableInForce();
    for (int row = 0; row < table.rows; ++row) {
        for (int column = 0; column < table.columns; ++column) {
            if (table.code(row, column) == code)
                return true;
        }
    }
    return false;
}
