// Start-up as the host drives it: which shells refuse the plug-in, which
// host versions pick which key table, which saved set comes into force, and
// when the load message is printed.
#pragma once

#include <optional>
#include <vector>

#include "tests/cases/harness.h"

// ---- the shell test ---------------------------------------------------------------

// "%[_transient]%[_pipe]" must expand to exactly "00". unterminated: the
// host fills its buffer to the brim and leaves no terminator.
struct ShellCase {
    const char* name;
    std::optional<Text> transient; // none: the variable does not exist
    std::optional<Text> pipe;
    bool unterminated = false;
};

const ShellCase RefusedShells[] = {
    {"PipeShell", Text(TEXT("0")), Text(TEXT("1"))},
    {"TransientShell", Text(TEXT("1")), Text(TEXT("0"))},
    {"TransientPipeShell", Text(TEXT("1")), Text(TEXT("1"))},
    {"ThreeZeros", Text(TEXT("00")), Text(TEXT("0"))},
    {"SingleZero", Text(TEXT("0")), Text(TEXT(""))},
    {"Empty", Text(TEXT("")), Text(TEXT(""))},
    {"VariablesMissing", std::nullopt, std::nullopt},
    {"ZeroThenSpace", Text(TEXT("0")), Text(TEXT("0 "))},
    {"SpaceThenZeros", Text(TEXT(" 0")), Text(TEXT("0"))},
    {"ZerosFillingTheBuffer", Text(TEXT("0")), Text(1023, '0')},
    {"ZerosFillingTheBufferUnterminated", Text(TEXT("0")), Text(1023, '0'), true},
    {"ZerosThen5000More", Text(TEXT("00")), Text(5000, 'x')},
    {"ZerosThen5000MoreUnterminated", Text(TEXT("00")), Text(5000, 'x'), true},
};

// ---- the host's version ----------------------------------------------------------------

// "%_4ver" picks the key table: above 23 the extended one.
struct HostVersionCase {
    const char* name;
    Text text;
    bool extended;
    bool unterminated = false;
};

const HostVersionCase HostVersions[] = {
    {"Version23", TEXT("23.0"), false},
    {"Version24", TEXT("24.0"), true},
    {"Version100", TEXT("100"), true},
    {"Version101", TEXT("101"), false},
    {"Version8", TEXT("8"), false},
    {"Version7", TEXT("7"), false},
    {"Empty", TEXT(""), false},
    {"NotANumber", TEXT("abc"), false},
    {"LeadingSpaceTrailingText", TEXT(" 30x"), true},
    {"PlusSign", TEXT("+25"), true},
    {"MinusSign", TEXT("-24"), false},
    {"Overflowing", TEXT("99999999999"), false},
    {"WouldWrapTo24In32Bits", TEXT("4294967320"), false},
    {"LeadingZerosFillingTheBuffer", Text(1021, '0') + TEXT("24"), true},
    {"LeadingZerosFillingTheBufferUnterminated", Text(1021, '0') + TEXT("24"), true, true},
    {"DigitsFillingTheBuffer", TEXT("24") + Text(1021, '0'), false},
    {"DigitsBeyondTheBuffer", TEXT("24") + Text(4998, '0'), false},
    {"DigitsBeyondTheBufferUnterminated", TEXT("24") + Text(4998, '0'), false, true},
};

// ---- saved settings -----------------------------------------------------------------------

inline StoredValue Value(const Text& name, DWORD type, std::vector<BYTE> data)
{
    return {name, type, data};
}

inline std::vector<StoredValue> SavedSet(DWORD up, DWORD down, DWORD wrap, DWORD sound)
{
    return {DwordValue(TEXT("HotkeyUp"), up), DwordValue(TEXT("HotkeyDown"), down), DwordValue(TEXT("Wrap"), wrap),
            DwordValue(TEXT("ErrorSound"), sound)};
}

inline std::vector<StoredValue> operator+(std::vector<StoredValue> first, const std::vector<StoredValue>& then)
{
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

// A set is taken whole from the first root that holds a valid one, or not
// at all: the load message and the report name what is in force.
inline std::vector<StoredValue> Marks(DWORD value)
{
    return {DwordValue(TEXT("TerminalMarks"), value)};
}

struct SavedSettingsCase {
    const char* name;
    const WCHAR* hostVersion;
    std::vector<StoredValue> user;
    std::vector<StoredValue> machine;
    ShownSettings inForce;
};

inline std::vector<SavedSettingsCase> SavedSettingsCases()
{
    const WCHAR* older = TEXT("23.0");
    const WCHAR* newer = TEXT("24.0");
    const StoredValue up = DwordValue(TEXT("HotkeyUp"), 0x10084);     // Ctrl-PgUp
    const StoredValue down = DwordValue(TEXT("HotkeyDown"), 0x10076); // Ctrl-PgDn
    const StoredValue wrapOff = DwordValue(TEXT("Wrap"), 0);
    const StoredValue soundOff = DwordValue(TEXT("ErrorSound"), 0);
    const ShownSettings pageKeys = {TEXT("Ctrl-PgUp"), TEXT("Ctrl-PgDn"), true, true};
    const std::vector<StoredValue> machineSet = SavedSet(0x1005E, 0x1005F, 0, 1); // Ctrl-F1, Ctrl-F2
    const ShownSettings machineShown = {TEXT("Ctrl-F1"), TEXT("Ctrl-F2"), true, false};
    return {
        {"NothingSaved", newer, {}, {}, DefaultsShown},
        {"UserSet", newer, SavedSet(0x10084, 0x10076, 0, 0), {},
         {TEXT("Ctrl-PgUp"), TEXT("Ctrl-PgDn"), false, false}},
        {"UserSetWinsOverMachineSet", newer, SavedSet(0x10084, 0x10076, 0, 0), machineSet,
         {TEXT("Ctrl-PgUp"), TEXT("Ctrl-PgDn"), false, false}},
        {"MachineSetAlone", newer, {}, machineSet, machineShown},
        // A value missing from a valid user set is its default, not the machine's.
        {"UserSetIsNotCompletedFromMachineRoot", newer, {up, down, soundOff}, machineSet,
         {TEXT("Ctrl-PgUp"), TEXT("Ctrl-PgDn"), false, true}},
        // Nothing of an incomplete user set survives, not even its switches.
        {"IncompleteUserSetFallsBackToWholeMachineSet", newer, {up, DwordValue(TEXT("Wrap"), 1), soundOff},
         machineSet, machineShown},
        {"CompleteSetBesideAnotherValue", newer,
         SavedSet(0x30054, 0x1, 0, 1) + std::vector<StoredValue>{DwordValue(TEXT("Colour"), 7)}, {},
         {TEXT("Ctrl-Shift-F1"), TEXT("Ctrl-A"), true, false}},
        {"EqualHotkeys", older, SavedSet(0x50091, 0x50091, 1, 0), {},
         {TEXT("Ctrl-Alt-Down"), TEXT("Ctrl-Alt-Down"), false, true}},
        {"KeyWithOtherValuesOnly", newer, {DwordValue(TEXT("Colour"), 7)}, {}, DefaultsShown},
        {"TerminalMarksSavedAsTwo", newer, SavedSet(0x10084, 0x10076, 1, 1) + Marks(2), {}, pageKeys},

        // A rejected hotkey rejects the whole set, its switches too.
        {"HotkeyDownMissing", newer, {up, wrapOff, soundOff}, {}, DefaultsShown},
        {"HotkeyUpZeroIsNone", newer, SavedSet(0, 0x10076, 0, 0), {}, DefaultsShown},
        {"HotkeyUpWithAHighBit", newer, SavedSet(0x8005008D, 0x10076, 0, 0), {}, DefaultsShown},
        {"CtrlAltShiftUpUnderOlderHost", older, SavedSet(0x7008D, 0x70091, 0, 0), {}, DefaultsShown},
        {"CtrlAltShiftUpUnderNewerHost", newer, SavedSet(0x7008D, 0x70091, 0, 1), {},
         {TEXT("Ctrl-Alt-Shift-Up"), TEXT("Ctrl-Alt-Shift-Down"), true, false}},
        {"CtrlNumMinusUnderNewerHost", newer, SavedSet(0x1004A, 0x50091, 0, 0), {}, DefaultsShown},
        {"CtrlNumMinusUnderOlderHost", older, SavedSet(0x1004A, 0x50091, 1, 1), {},
         {TEXT("Ctrl-Num-"), TEXT("Ctrl-Alt-Down"), true, true}},
        // The older table gives Num- and Num+ one Ctrl-Shift code; the later
        // row names it.
        {"SharedNumCodeUnderOlderHost", older, SavedSet(0x3004A, 0x1004E, 1, 1), {},
         {TEXT("Ctrl-Shift-Num+"), TEXT("Ctrl-Num+"), true, true}},

        // A hotkey of another type than a four-byte REG_DWORD is rejected
        // whatever it holds; each below carries a valid code.
        {"HotkeyUpAsString", newer,
         {Value(TEXT("HotkeyUp"), REG_SZ, {'6', 0, '5', 0, '6', 0, '6', 0, '8', 0, 0, 0}), down, wrapOff}, {},
         DefaultsShown},
        {"HotkeyUpAsBinary", newer, {Value(TEXT("HotkeyUp"), REG_BINARY, {0x84, 0x00, 0x01, 0x00}), down, wrapOff},
         {}, DefaultsShown},
        {"HotkeyUpAsQword", newer,
         {Value(TEXT("HotkeyUp"), REG_QWORD, {0x84, 0x00, 0x01, 0x00, 0, 0, 0, 0}), down, wrapOff}, {},
         DefaultsShown},
        {"HotkeyDownAsBinary", newer, {up, Value(TEXT("HotkeyDown"), REG_BINARY, {0x76, 0x00, 0x01, 0x00}), wrapOff},
         {}, DefaultsShown},
        {"HotkeyUpDwordOfNoBytes", newer, {Value(TEXT("HotkeyUp"), REG_DWORD, {}), down, wrapOff}, {},
         DefaultsShown},
        {"HotkeyUpDwordOfTwoBytes", newer, {Value(TEXT("HotkeyUp"), REG_DWORD, {0x84, 0x00}), down, wrapOff}, {},
         DefaultsShown},
        {"HotkeyDownDwordOfEightBytes", newer,
         {up, Value(TEXT("HotkeyDown"), REG_DWORD, {0x76, 0x00, 0x01, 0x00, 0, 0, 0, 0}), wrapOff}, {},
         DefaultsShown},

        // Switches take 0 and 1; anything else, or anything unreadable, is on.
        {"WrapMissingErrorSoundAsString", newer,
         {up, down, Value(TEXT("ErrorSound"), REG_SZ, {'0', 0, 0, 0})}, {}, pageKeys},
        {"SwitchesTwoAndAllOnes", newer, {up, down, DwordValue(TEXT("Wrap"), 2), DwordValue(TEXT("ErrorSound"), 0xFFFFFFFF)},
         {}, pageKeys},
        {"WrapAllOnesSoundOff", newer, {up, down, DwordValue(TEXT("Wrap"), 0xFFFFFFFF), soundOff}, {},
         {TEXT("Ctrl-PgUp"), TEXT("Ctrl-PgDn"), false, true}},
        // The copy hotkey comes with its set, never without it, and never
        // decides whether the set is taken; the load message leaves it out.
        {"CopyHotkeyWithTheUserSet", newer,
         SavedSet(0x10084, 0x10076, 0, 0) + std::vector<StoredValue>{DwordValue(TEXT("CopyHotkey"), 0x5002E)}, {},
         {TEXT("Ctrl-PgUp"), TEXT("Ctrl-PgDn"), false, false, TEXT("Ctrl-Alt-C")}},
        {"CopyHotkeyOfAnotherTypeIsNone", newer,
         SavedSet(0x10084, 0x10076, 0, 0) +
             std::vector<StoredValue>{Value(TEXT("CopyHotkey"), REG_BINARY, {0x2E, 0x00, 0x05, 0x00})},
         {}, {TEXT("Ctrl-PgUp"), TEXT("Ctrl-PgDn"), false, false}},
        {"CopyHotkeyNoTableHoldsIsNone", newer,
         SavedSet(0x10084, 0x10076, 0, 0) + std::vector<StoredValue>{DwordValue(TEXT("CopyHotkey"), 0x8D)}, {},
         {TEXT("Ctrl-PgUp"), TEXT("Ctrl-PgDn"), false, false}},
        {"CopyHotkeyDoesNotMakeASet", newer, {up, DwordValue(TEXT("CopyHotkey"), 0x5002E)}, machineSet,
         machineShown},
        // The typed filter comes with its set, on only when stored as 1.
        {"TypedFilterWithTheUserSet", newer,
         SavedSet(0x10084, 0x10076, 0, 0) + std::vector<StoredValue>{DwordValue(TEXT("TypedFilter"), 1)}, {},
         WithTyped({TEXT("Ctrl-PgUp"), TEXT("Ctrl-PgDn"), false, false})},
        {"TypedFilterTwoIsOff", newer,
         SavedSet(0x10084, 0x10076, 0, 0) + std::vector<StoredValue>{DwordValue(TEXT("TypedFilter"), 2)}, {},
         {TEXT("Ctrl-PgUp"), TEXT("Ctrl-PgDn"), false, false}},
        {"TypedFilterOfEightBytesIsOff", newer,
         SavedSet(0x10084, 0x10076, 0, 0) +
             std::vector<StoredValue>{Value(TEXT("TypedFilter"), REG_DWORD, {1, 0, 0, 0, 0, 0, 0, 0})},
         {}, {TEXT("Ctrl-PgUp"), TEXT("Ctrl-PgDn"), false, false}},
        {"TypedFilterAsStringIsOff", newer,
         SavedSet(0x10084, 0x10076, 0, 0) +
             std::vector<StoredValue>{Value(TEXT("TypedFilter"), REG_SZ, {'1', 0, 0, 0})},
         {}, {TEXT("Ctrl-PgUp"), TEXT("Ctrl-PgDn"), false, false}},
        {"TypedFilterDoesNotMakeASet", newer, {up, DwordValue(TEXT("TypedFilter"), 1)}, machineSet, machineShown},
        {"SwitchesZeroInTwoAndEightBytes", newer,
         {up, down, Value(TEXT("Wrap"), REG_DWORD, {0, 0}), Value(TEXT("ErrorSound"), REG_DWORD, {0, 0, 0, 0, 0, 0, 0, 0})},
         {}, pageKeys},
    };
}

// ---- the load message ------------------------------------------------------------------

// Any value of NoLoadMsg, however long, silences the message; the settings
// load all the same.
struct LoadMessageCase {
    const char* name;
    std::optional<Text> noLoadMsg;
    bool printed;
};

const LoadMessageCase LoadMessageCases[] = {
    {"Unset", std::nullopt, true},
    {"Empty", Text(), true},
    {"Zero", Text(TEXT("0")), false},
    {"AnyText", Text(TEXT("yes please")), false},
    {"FillingTheBuffer", Text(1023, 'x'), false},
    {"LongerThanTheBuffer", Text(5000, 'x'), false},
};

// ---- a console with no scroll-back --------------------------------------------------------

// Where the buffer is no taller than its 30-row window, the load message
// goes on to say why the hotkeys can only beep, or with terminal marks on
// that the terminal moves between commands; NoLoadMsg silences both.
struct ScrollBackCase {
    const char* name;
    ConsoleKind console;
    int rows;
    bool noLoadMsg;
    bool told;
    std::vector<StoredValue> stored = {}; // the defaults, and terminal marks as saved
    bool marks = false;
};

const std::vector<StoredValue> MarksSaved = SavedSet(0x5008D, 0x50091, 1, 1) + Marks(1);

const ScrollBackCase ScrollBackCases[] = {
    {"DocumentedWithScrollBack", DocumentedConsoleKind, 300, false, false},
    {"ModernWithScrollBack", ModernConsoleKind, 31, false, false},
    {"BufferSetToTheWindowsHeight", DocumentedConsoleKind, 30, false, true},
    {"PseudoConsole", PseudoConsoleKind, 30, false, true, {}, true},
    {"PseudoConsoleWithNoLoadMsg", PseudoConsoleKind, 30, true, false},
    {"PseudoConsoleWithMarksOff", PseudoConsoleKind, 30, false, true, SavedSet(0x5008D, 0x50091, 1, 1) + Marks(0)},
    {"BufferSetToTheWindowsHeightWithMarksOn", DocumentedConsoleKind, 30, false, true, MarksSaved, true},
};

const Text NoScrollBackNotice = TEXT("This console keeps no scroll-back, so the back and forward hotkeys cannot ")
                                TEXT("move its window; see \"Where it works\" in README.\r\n");
const Text MarksNotice = TEXT("This console keeps no scroll-back; Mirvane marks each command for the terminal, which ")
                         TEXT("moves between commands with its own keys (see \"Where it works\" in README).\r\n");

// ---- the host's requests for help and usage -------------------------------------------------

struct CommandNameCase {
    const char* name;
    Text commandName;
    bool ours;
};

const CommandNameCase CommandNames[] = {
    {"LowerCase", TEXT("mirvane"), true},
    {"UpperCase", TEXT("MIRVANE"), true},
    {"MixedCase", TEXT("mIrVaNe"), true},
    {"HostPrefixAt", TEXT("@mirvane"), false},
    {"HostPrefixUnderscore", TEXT("_mirvane"), false},
    {"Longer", TEXT("mirvanex"), false},
    {"Shorter", TEXT("mirvan"), false},
    {"Empty", TEXT(""), false},
    {"DotlessI", TEXT("m\u0131rvane"), false}, // only ASCII letters fold
};

// Cases print as their names in failure messages.
inline void PrintTo(const ShellCase& c, std::ostream* os)
{
    *os << c.name;
}

inline void PrintTo(const HostVersionCase& c, std::ostream* os)
{
    *os << c.name;
}

inline void PrintTo(const SavedSettingsCase& c, std::ostream* os)
{
    *os << c.name;
}

inline void PrintTo(const LoadMessageCase& c, std::ostream* os)
{
    *os << c.name;
}

inline void PrintTo(const ScrollBackCase& c, std::ostream* os)
{
    *os << c.name;
}

inline void PrintTo(const CommandNameCase& c, std::ostream* os)
{
    *os << c.name;
}
