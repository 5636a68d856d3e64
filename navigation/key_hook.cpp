#include "hotkeys/key_names.h"
#include "hotkeys/key_tables.h"
#include "navigation/console_cells.h"
#include "navigation/copy_output.h"
#include "navigation/navigation.h"
#include "navigation/row_tags.h"
#include "navigation/terminal_marks.h"
#include "navigation/typed_filter.h"
#include "plugin/state.h"
#include "plugin/text.h"

enum {
    ShiftHeld = 1,
    CtrlHeld = 2,
    AltHeld = 4,
    KeyDownBit = 0x8000,
};

static bool IsHeld(int virtualKey)
{
    return (GetAsyncKeyState(virtualKey) & KeyDownBit) != 0;
}

// Sampled now, not when the key went down. The older host has no codes for
// Ctrl-Alt-Shift, so that chord adds nothing there.
static KeyCode ModifierFlags(void)
{
    int held = 0;
    if (IsHeld(VK_SHIFT))
        held |= ShiftHeld;
    if (IsHeld(VK_CONTROL))
        held |= CtrlHeld;
    if (IsHeld(VK_MENU))
        held |= AltHeld;
    switch (held) {
    case ShiftHeld | CtrlHeld:
        return CtrlShiftFlag;
    case CtrlHeld | AltHeld:
        return CtrlAltFlag;
    case ShiftHeld | CtrlHeld | AltHeld:
        return Startup.useExtendedKeys ? CtrlShiftFlag | CtrlAltFlag : 0;
    default:
        return 0;
    }
}

static void ConsumeKey(KeyEventRecord* event)
{
    event->code = 0;
    if (Startup.useExtendedKeys && event->keyName)
        event->keyName[0] = 0;
}

// The terminal's mark comes before the host acts on the key; then the next
// line starts afresh, whatever the typed filter is.
static void EnterLine(int row)
{
    WriteCommandMark(false);
    ForgetInputStart();
    MarkRow(row);
}

// A keyless event tags the cursor's row, as a line entered there; the mark
// may have read the row already.
static void EnterLineAtCursor(void)
{
    int row = WriteCommandMark(true);
    ForgetInputStart();
    MarkRow(row >= 0 ? row : GetCursorRow());
}

// An older host is only known to fill code and row, so nothing beyond them
// is read unless the newer host is present.
void HandleKey(KeyEventRecord* event)
{
    if (!event)
        return;
    KeyCode code = event->code;
    if (Startup.useExtendedKeys && code == 0 && event->keyName) {
        code = KeyNameToCode(event->keyName);
        // The bare name converts to KeyCodeNotAllowed, so the name itself is
        // what marks an entered line.
        if (TextEqualsNoCase(event->keyName, TEXT("Enter")))
            return EnterLine(event->row);
    }
    // An entered line's key goes on to the host untouched.
    if (code == EnterCode || code == CtrlEnterCode)
        return EnterLine(event->row);
    if (code == 0 && (!Startup.useExtendedKeys || event->context == NULL))
        return EnterLineAtCursor();
    // Before any hotkey, which reads what was typed since.
    NoteInputStart(event->row);
    KeystrokeSinceEnteredLine = true;
    code |= ModifierFlags();
    // The copy hotkey comes last, so one equal to a navigation hotkey never
    // copies; and None is no key, though a keyless event's code is 0 too.
    if (code == Settings.HotkeyUp || code == Settings.HotkeyDown)
        ScrollToMarkedRow(code == Settings.HotkeyUp, event->row);
    else if (Settings.CopyHotkey != 0 && code == Settings.CopyHotkey)
        CopyCommandOutput(event->row);
    else
        return;
    ConsumeKey(event);
}
