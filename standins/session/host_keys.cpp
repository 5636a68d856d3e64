#include "standins/session/host_keys.h"

namespace {

enum : int32_t {
    HostFlagMask = 0x1FFFF, // what is left of a cell without the plug-in's flags
    No = -1,                // a cell that stands for no code
};

// Function, cursor and editing keys, one row per virtual key, in the key
// tables' column order: none, Shift, Ctrl, Alt, Ctrl-Shift, Ctrl-Alt,
// Ctrl-Alt-Shift. These rows are the same in both tables.
struct CursorKeyRow {
    WORD virtualKey;
    int32_t cell[7];
};

constexpr CursorKeyRow CursorKeys[] = {
    {VK_F1, {0x1003B, 0x10054, 0x1005E, 0x10068, 0x30054, 0x5005E, 0x7005E}},
    {VK_F2, {0x1003C, 0x10055, 0x1005F, 0x10069, 0x30055, 0x5005F, 0x7005F}},
    {VK_F3, {0x1003D, 0x10056, 0x10060, 0x1006A, 0x30056, 0x50060, 0x70060}},
    {VK_F4, {0x1003E, 0x10057, 0x10061, 0x1006B, 0x30057, 0x50061, 0x70061}},
    {VK_F5, {0x1003F, 0x10058, 0x10062, 0x1006C, 0x30058, 0x50062, 0x70062}},
    {VK_F6, {0x10040, 0x10059, 0x10063, 0x1006D, 0x30059, 0x50063, 0x70063}},
    {VK_F7, {0x10041, 0x1005A, 0x10064, 0x1006E, 0x3005A, 0x50064, 0x70064}},
    {VK_F8, {0x10042, 0x1005B, 0x10065, 0x1006F, 0x3005B, 0x50065, 0x70065}},
    {VK_F9, {0x10043, 0x1005C, 0x10066, 0x10070, 0x3005C, 0x50066, 0x70066}},
    {VK_F10, {0x10044, 0x1005D, 0x10067, 0x10071, 0x3005D, 0x50067, 0x70067}},
    {VK_F11, {0x10085, 0x10087, 0x10089, 0x1008B, 0x30087, 0x50089, 0x70089}},
    {VK_F12, {0x10086, 0x10088, 0x1008A, 0x1008C, 0x30088, 0x5008A, 0x7008A}},
    {VK_HOME, {0x10047, 0x100CA, 0x10077, No, 0x300CA, 0x50077, 0x70077}},
    {VK_END, {0x1004F, 0x100CB, 0x10075, No, 0x300CB, 0x50075, 0x70075}},
    {VK_PRIOR, {0x10049, No, 0x10084, No, 0x30049, 0x50084, 0x70084}},
    {VK_NEXT, {0x10051, No, 0x10076, No, 0x30051, 0x50076, 0x70076}},
    {VK_INSERT, {0x10052, No, No, No, 0x30052, 0x50092, 0x70092}},
    {VK_DELETE, {0x10053, No, 0x10093, No, 0x30053, No, 0x70093}},
    {VK_UP, {0x10048, No, 0x1008D, No, 0x30048, 0x5008D, 0x7008D}},
    {VK_DOWN, {0x10050, No, 0x10091, No, 0x30050, 0x50091, 0x70091}},
    {VK_LEFT, {0x1004B, 0x100C8, 0x10073, 0x100F4, 0x300CC, 0x50073, 0x70073}},
    {VK_RIGHT, {0x1004D, 0x100C9, 0x10074, 0x100F6, 0x300CD, 0x50074, 0x70074}},
};

// Alt with a letter is numbered by the letter's keyboard scan code.
constexpr uint8_t LetterScanCodes[26] = {
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C,
};

int32_t Unnumbered(WORD virtualKey)
{
    return HostUnnumberedBase | (virtualKey & 0xFF);
}

// The table column for a modifier mask; Shift with Alt has none of its
// own and is sent as Alt.
int ColumnOf(int modifiers)
{
    // Indexed by the mask: -, S, C, CS, A, AS, CA, CAS.
    static constexpr int columns[8] = {0, 1, 2, 4, 3, 3, 5, 6};
    return columns[modifiers & 7];
}

int32_t CursorKeyCode(const CursorKeyRow& row, int modifiers)
{
    int column = ColumnOf(modifiers);
    int32_t cell = row.cell[column];
    if (cell > 0)
        return cell & HostFlagMask;
    // No cell: Shift falls back to the bare key, the Ctrl combinations to
    // Ctrl alone, which is what the host sends when it knows no better.
    int32_t fallback = No;
    if (column == 1)
        fallback = row.cell[0];
    else if (column >= 4)
        fallback = row.cell[2];
    return fallback > 0 ? (fallback & HostFlagMask) : Unnumbered(row.virtualKey);
}

int32_t LetterCode(WORD virtualKey, WCHAR character, int modifiers)
{
    int index = virtualKey - 'A';
    int32_t altCode = 0x10000 | LetterScanCodes[index];
    if (modifiers == (HostCtrlHeld | HostAltHeld | HostShiftHeld) && virtualKey == 'B')
        return 0x1003E; // the tables' one odd Ctrl-Alt-Shift cell
    if (modifiers & HostAltHeld)
        return altCode;
    if (modifiers & HostCtrlHeld)
        return index + 1;
    return character ? character : virtualKey;
}

int32_t DigitCode(WORD virtualKey, WCHAR character, int modifiers)
{
    int index = virtualKey == '0' ? 9 : virtualKey - '1';
    if (modifiers & HostAltHeld)
        return 0x100E2 + index;
    if (modifiers & HostCtrlHeld)
        return 0xE2 + index;
    return character ? character : virtualKey;
}

int32_t EnterCode(int modifiers, int extendedHost)
{
    if (modifiers == 0)
        return HostEnterCode;
    if (modifiers == HostCtrlHeld)
        return HostCtrlEnterCode;
    if ((modifiers & HostAltHeld) && !(modifiers & HostCtrlHeld))
        return Unnumbered(VK_RETURN);
    return extendedHost ? HostShiftEnterCode : HostEnterCode;
}

int32_t BackspaceCode(int modifiers, int extendedHost)
{
    if (modifiers == 0)
        return 8;
    if (modifiers == HostShiftHeld)
        return extendedHost ? 0x87F : 8;
    if (modifiers == HostCtrlHeld)
        return 0x7F;
    return 0x1000E; // Alt and every Ctrl combination: the same cell underneath

}

} // namespace

int HostModifierMask(DWORD controlKeyState)
{
    int mask = 0;
    if (controlKeyState & SHIFT_PRESSED)
        mask |= HostShiftHeld;
    if (controlKeyState & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED))
        mask |= HostCtrlHeld;
    if (controlKeyState & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED))
        mask |= HostAltHeld;
    return mask;
}

int32_t HostKeyCode(WORD virtualKey, WCHAR character, int modifiers, int extendedHost)
{
    for (const CursorKeyRow& row : CursorKeys) {
        if (row.virtualKey == virtualKey)
            return CursorKeyCode(row, modifiers);
    }
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return LetterCode(virtualKey, character, modifiers);
    if (virtualKey >= '0' && virtualKey <= '9')
        return DigitCode(virtualKey, character, modifiers);
    if (virtualKey == VK_RETURN)
        return EnterCode(modifiers, extendedHost);
    if (virtualKey == VK_BACK)
        return BackspaceCode(modifiers, extendedHost);
    if (character && !(modifiers & (HostCtrlHeld | HostAltHeld)))
        return character;
    return Unnumbered(virtualKey);
}

bool IsModifierOnlyKey(WORD virtualKey)
{
    switch (virtualKey) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU:
    case VK_LSHIFT: case VK_RSHIFT: case VK_LCONTROL: case VK_RCONTROL:
    case VK_LMENU: case VK_RMENU: case VK_LWIN: case VK_RWIN:
    case VK_CAPITAL: case VK_NUMLOCK: case VK_SCROLL:
        return true;
    default:
        return false;
    }
}
