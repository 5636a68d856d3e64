// The command as the user types it: arguments in, every write out, the
// result, and the settings and the registry afterwards.
#pragma once

#include <algorithm>
#include <vector>

#include "tests/cases/harness.h"
#include "tests/cases/key_cells.h"

enum StoredSets {
    NothingStored,
    UserSetStored,
    MachineSetStored,
    BothSetsStored,
    UserSetWithCopyStored,       // and a copy hotkey, Ctrl-Alt-C
    UserSetWithBrokenCopyStored, // and a copy hotkey no table holds
    UserSetWithTypedStored,       // and the typed filter on
    UserSetWithBrokenTypedStored, // and the typed filter as 2
};

// What the registry holds before a case that asks for it: the user's set
// (Ctrl-Up, Ctrl-Down, wrap on, sound off) and the machine's (Ctrl-PgUp,
// Ctrl-Home, both on). The codes are the same in both key tables.
const std::vector<StoredValue> UserSet = {DwordValue(TEXT("HotkeyUp"), 0x1008D),
                                          DwordValue(TEXT("HotkeyDown"), 0x10091), DwordValue(TEXT("Wrap"), 1),
                                          DwordValue(TEXT("ErrorSound"), 0)};
const StoredValue CopyHotkeyStored = DwordValue(TEXT("CopyHotkey"), 0x5002E);
const StoredValue BrokenCopyHotkeyStored = DwordValue(TEXT("CopyHotkey"), 0x8D);
const StoredValue TypedFilterStored = DwordValue(TEXT("TypedFilter"), 1);
const StoredValue BrokenTypedFilterStored = DwordValue(TEXT("TypedFilter"), 2);
const std::vector<StoredValue> MachineSet = {DwordValue(TEXT("HotkeyUp"), 0x10084),
                                             DwordValue(TEXT("HotkeyDown"), 0x10077),
                                             DwordValue(TEXT("Wrap"), 1), DwordValue(TEXT("ErrorSound"), 1)};

// Settings changed before a case, so that restoring shows.
const WCHAR* const Customised = TEXT("/B:Ctrl-Home /F:Ctrl-PgUp /W:N /E:N");
const ShownSettings CustomShown = {TEXT("Ctrl-Home"), TEXT("Ctrl-PgUp"), false, false};

struct CommandCase {
    const char* name;
    Text arguments;
    int result;
    Writes writes;
    ShownSettings after;
    bool visibleAfter = false;
    const WCHAR* before = nullptr; // a command run first, its output dropped
    StoredSets stored = NothingStored;
    HKEY savedTo = nullptr;              // this root's key holds savedValues, the other root none
    std::vector<StoredValue> savedValues; // in name order
    HKEY denied = nullptr;               // registry access refused under this root
};

inline ShownSettings With(ShownSettings s, bool ShownSettings::*field, bool value)
{
    s.*field = value;
    return s;
}

inline Writes Error(const Text& message)
{
    return ErrorWrites(message + TEXT("\r\n"));
}

inline Writes Quoting(const Text& message, const Text& argument)
{
    return Error(message + TEXT(": \"") + argument + TEXT("\""));
}

const Text RestoredDefaults = TEXT("Default plugin settings restored.\r\n");
const Text CannotCombineList = TEXT("Can\u2019t combine /L with other options");
const Text VersionLine = TEXT("\r\n\t\t\t\t\tMirvane  1.0.1.2 (x64)\r\n");

inline Text SavedTo(const Text& root)
{
    return TEXT("\r\nSettings saved to the registry (") + root + TEXT(").\r\n");
}

inline Text RestoredFrom(const Text& root)
{
    return TEXT("Settings restored from the registry (") + root + TEXT(").\r\n");
}

inline std::vector<StoredValue> FourDwords(DWORD up, DWORD down, DWORD wrap, DWORD sound)
{
    return {DwordValue(TEXT("ErrorSound"), sound), DwordValue(TEXT("HotkeyDown"), down),
            DwordValue(TEXT("HotkeyUp"), up), DwordValue(TEXT("Wrap"), wrap)};
}

// One value more, kept in name order.
inline std::vector<StoredValue> AndValue(std::vector<StoredValue> values, const StoredValue& value)
{
    values.push_back(value);
    std::sort(values.begin(), values.end(), [](const StoredValue& a, const StoredValue& b) { return a.name < b.name; });
    return values;
}

// In name order, as the key's values are compared.
inline std::vector<StoredValue> FiveDwords(DWORD up, DWORD down, DWORD wrap, DWORD sound, DWORD copy)
{
    return {DwordValue(TEXT("CopyHotkey"), copy), DwordValue(TEXT("ErrorSound"), sound),
            DwordValue(TEXT("HotkeyDown"), down), DwordValue(TEXT("HotkeyUp"), up), DwordValue(TEXT("Wrap"), wrap)};
}

inline std::vector<CommandCase> CommandCases()
{
    const Writes defaults = Report(DefaultsShown);
    const Writes help = {Out(HelpTextShown)};
    const ShownSettings wrapOff = With(DefaultsShown, &ShownSettings::wrap, false);
    const ShownSettings customSoundOn = With(CustomShown, &ShownSettings::errorSound, true);
    const Writes listing = Listing(ExtendedCells, ExtendedLineKeys);
    const WCHAR* copySet = TEXT("/C:Ctrl-Alt-C");
    const ShownSettings withCopy = WithCopy(DefaultsShown, TEXT("Ctrl-Alt-C"));
    const ShownSettings userSet = {TEXT("Ctrl-Up"), TEXT("Ctrl-Down"), false, true};
    const ShownSettings marksYes = {TEXT("Ctrl-Alt-Up"), TEXT("Ctrl-Alt-Down"), true, true, Text(), false, TEXT("Yes")};
    const ShownSettings marksNo = {TEXT("Ctrl-Alt-Up"), TEXT("Ctrl-Alt-Down"), true, true, Text(), false, TEXT("No")};
    const std::vector<StoredValue> defaultSet = FourDwords(0x5008D, 0x50091, 1, 1);
    auto savedMarks = [&](DWORD value) { return AndValue(defaultSet, DwordValue(TEXT("TerminalMarks"), value)); };
    return {
        // Reading the arguments.
        {"NoArguments", TEXT(""), 0, defaults, DefaultsShown},
        {"QuotedWhitespaceSkipped", TEXT("\" \""), 0, defaults, DefaultsShown},
        {"HelpWinsBeforeBadOption", TEXT("/? /X"), 0, help, DefaultsShown},
        {"BadOptionBeforeHelp", TEXT("/X /?"), 1, Quoting(TEXT("Unknown option"), TEXT("/X")), DefaultsShown},
        {"HelpWithVersion", TEXT("/??"), 0, help + Writes{Out(VersionLine)}, DefaultsShown},
        {"TripleQuestionUnknown", TEXT("/???"), 1, Quoting(TEXT("Unknown option"), TEXT("/???")), DefaultsShown},
        {"DefaultsTakeNothingBehind", TEXT("/Dx"), 1, Quoting(TEXT("Unknown option"), TEXT("/DX")), CustomShown,
         false, Customised},
        {"SaveTakesNothingBehind", TEXT("/SAVE"), 1, Quoting(TEXT("Unknown option"), TEXT("/SAVE")),
         DefaultsShown},
        {"MachineSaveTakesNothingBehind", TEXT("/S!x"), 1, Quoting(TEXT("Unknown option"), TEXT("/S!X")),
         DefaultsShown},
        {"ListTakesNothingBehind", TEXT("/Lx"), 1, Quoting(TEXT("Unknown option"), TEXT("/LX")), DefaultsShown},
        {"LowerCaseDefaults", TEXT("/d"), 0, Writes{Out(RestoredDefaults)} + defaults, DefaultsShown, false,
         Customised},
        {"PlainWordIsSyntaxError", TEXT("foo"), 1, Quoting(TEXT("Syntax error"), TEXT("FOO")), DefaultsShown},
        {"DashIsNoSwitch", TEXT("-B:Ctrl-Up"), 1, Quoting(TEXT("Syntax error"), TEXT("-B:CTRL-UP")),
         DefaultsShown},
        {"PendingDroppedOnLaterError", TEXT("/W:N /B:Ctrl-Up /X"), 1, Quoting(TEXT("Unknown option"), TEXT("/X")),
         DefaultsShown},
        {"OverflowIsAnArgumentError", Text(8192, 'x') + TEXT(" /S /W:N"), 1,
         Error(TEXT("Buffer overflow: b = 8191, MAX_ARG_LEN = 8192 ")), CustomShown, false, Customised},

        // Key names.
        {"BackWordIsAKeyName", TEXT("/Back:Ctrl-Up"), 1, Quoting(TEXT("Unknown key name"), TEXT("/BACK:CTRL-UP")),
         DefaultsShown},
        {"BackAlone", TEXT("/B"), 1, Quoting(TEXT("Unknown key name"), TEXT("/B")), DefaultsShown},
        {"QuotedSlashKeyReachesKeyNames", TEXT("/B:\"Ctrl-/\""), 0,
         Report({TEXT("Ctrl-Divide"), TEXT("Ctrl-Alt-Down"), true, true}),
         {TEXT("Ctrl-Divide"), TEXT("Ctrl-Alt-Down"), true, true}},
        {"UnquotedSlashKeyIsCut", TEXT("/B:Ctrl-/"), 1, Quoting(TEXT("Unknown key name"), TEXT("/B:CTRL-")),
         DefaultsShown},
        {"KeyNotAllowed", TEXT("/B:A"), 1, Quoting(TEXT("Key not allowed"), TEXT("/B:A")), DefaultsShown},
        {"InvalidForwardHotkey", TEXT("/f=ctrl-c"), 1, Quoting(TEXT("Invalid hotkey"), TEXT("/F=CTRL-C")),
         DefaultsShown},
        {"OnlyAsciiUpperCased", TEXT("/b:\u00e9t\u00e9"), 1,
         Quoting(TEXT("Unknown key name"), TEXT("/B:\u00e9T\u00e9")), DefaultsShown},
        {"ThreeKeyNameForms", TEXT("/F=Ctrl-PgUp /BCtrl-Home"), 0,
         Report({TEXT("Ctrl-Home"), TEXT("Ctrl-PgUp"), true, true}),
         {TEXT("Ctrl-Home"), TEXT("Ctrl-PgUp"), true, true}},
        // Keys that enter the line are refused, and nothing pending is applied.
        {"BackKeyEntersTheLine", TEXT("/W:N /b:ctrl-m"), 1,
         Quoting(TEXT("Not usable as a hotkey (it enters the line)"), TEXT("/B:CTRL-M")), DefaultsShown},
        {"ForwardKeyEntersTheLine", TEXT("/F:Ctrl-Enter /S"), 1,
         Quoting(TEXT("Not usable as a hotkey (it enters the line)"), TEXT("/F:CTRL-ENTER")), DefaultsShown},
        {"CopyKeyEntersTheLine", TEXT("/C=Ctrl-M"), 1,
         Quoting(TEXT("Not usable as a hotkey (it enters the line)"), TEXT("/C=CTRL-M")), DefaultsShown},
        // The newer host may name this keystroke, with its modifiers.
        {"CtrlShiftMServesTheNewerHost", TEXT("/C:Ctrl-Shift-M"), 0,
         Report(WithCopy(DefaultsShown, TEXT("Ctrl-Shift-M"))), WithCopy(DefaultsShown, TEXT("Ctrl-Shift-M"))},
        {"SameKeyBothWays", TEXT("/B:Ctrl-Up /F:ctrl-up"), 0, Report({TEXT("Ctrl-Up"), TEXT("Ctrl-Up"), true, true}),
         {TEXT("Ctrl-Up"), TEXT("Ctrl-Up"), true, true}},

        // Y/N values.
        {"WrapWordOff", TEXT("/Wrap:N"), 0, Report(wrapOff), wrapOff},
        {"SoundYes", TEXT("/E:Yes"), 0, Report(customSoundOn), customSoundOn, false, Customised},
        {"SoundYellowIsYes", TEXT("/E:yellow"), 0, Report(customSoundOn), customSoundOn, false, Customised},
        {"SoundWordYes", TEXT("/Error:Yes"), 0, Report(customSoundOn), customSoundOn, false, Customised},
        {"EqualsAndLowerCaseNo", TEXT("/E=n /w:no"), 0,
         Report({TEXT("Ctrl-Alt-Up"), TEXT("Ctrl-Alt-Down"), false, false}),
         {TEXT("Ctrl-Alt-Up"), TEXT("Ctrl-Alt-Down"), false, false}},
        {"LetterTakenForName", TEXT("/EY"), 1, Quoting(TEXT("Expected a Y or N"), TEXT("/EY")), DefaultsShown},
        {"NoValue", TEXT("/E"), 1, Quoting(TEXT("Expected a Y or N"), TEXT("/E")), DefaultsShown},
        {"EmptyValue", TEXT("/E:"), 1, Quoting(TEXT("Expected a Y or N"), TEXT("/E:")), DefaultsShown},
        {"DigitValue", TEXT("/e:1"), 1, Quoting(TEXT("Expected a Y or N"), TEXT("/E:1")), DefaultsShown},
        {"VisibleShortForm", TEXT("/V:Y"), 0, defaults, DefaultsShown, true},
        {"VisibleLongForm", TEXT("/Visible:Y"), 0, defaults, DefaultsShown, true},
        {"VisibleOff", TEXT("/vm:n"), 0, defaults, DefaultsShown, false, TEXT("/VM:Y")},
        {"VisibleStaysAfterLaterError", TEXT("/VM:Y /X"), 1, Quoting(TEXT("Unknown option"), TEXT("/X")),
         DefaultsShown, true},

        // Listing.
        {"ListIgnoresHotkey", TEXT("/L /B:Ctrl-Up"), 0, listing, DefaultsShown},
        {"ListStillValidates", TEXT("/L /B:Ctrl-Foo"), 1, Quoting(TEXT("Unknown key name"), TEXT("/B:CTRL-FOO")),
         DefaultsShown},
        {"ListWithSave", TEXT("/b:ctrl-pgup /L /S"), 1, Error(CannotCombineList), DefaultsShown},
        {"ListWithMachineSave", TEXT("/s! /l"), 1, Error(CannotCombineList), DefaultsShown},
        {"ListWithDefaults", TEXT("/L /D"), 1, Error(CannotCombineList), CustomShown, false, Customised},
        {"ListWithRestore", TEXT("/R /L"), 1, Error(CannotCombineList), DefaultsShown, false, nullptr,
         UserSetStored},
        {"ListArgumentsReadFirst", TEXT("/L /X"), 1, Quoting(TEXT("Unknown option"), TEXT("/X")), DefaultsShown},
        {"ListAndVisible", TEXT("/L /VM:Y"), 0, listing, DefaultsShown, true},

        // Defaults and saved settings.
        {"DefaultsThenBackHotkey", TEXT("/D /B:Ctrl-PgUp"), 0,
         Writes{Out(RestoredDefaults)} + Report({TEXT("Ctrl-PgUp"), TEXT("Ctrl-Alt-Down"), true, true}),
         {TEXT("Ctrl-PgUp"), TEXT("Ctrl-Alt-Down"), true, true}, false, Customised},
        {"DefaultsKeepVisible", TEXT("/D"), 0, Writes{Out(RestoredDefaults)} + defaults, DefaultsShown, true,
         TEXT("/VM:Y /W:N")},
        {"DefaultsWithRestore", TEXT("/w:n /d /r"), 1, Error(TEXT("Can\u2019t combine /D and /R")), CustomShown,
         false, Customised, UserSetStored},
        {"RestoreFromUser", TEXT("/R /W:N"), 0,
         Writes{Out(RestoredFrom(TEXT("HKCU")))} + Report({TEXT("Ctrl-Up"), TEXT("Ctrl-Down"), false, false}),
         {TEXT("Ctrl-Up"), TEXT("Ctrl-Down"), false, false}, false, Customised, UserSetStored},
        {"RestorePrefersUser", TEXT("/R /W:N"), 0,
         Writes{Out(RestoredFrom(TEXT("HKCU")))} + Report({TEXT("Ctrl-Up"), TEXT("Ctrl-Down"), false, false}),
         {TEXT("Ctrl-Up"), TEXT("Ctrl-Down"), false, false}, false, Customised, BothSetsStored},
        {"RestoreFromMachine", TEXT("/R /W:N"), 0,
         Writes{Out(RestoredFrom(TEXT("HKLM")))} + Report({TEXT("Ctrl-PgUp"), TEXT("Ctrl-Home"), true, false}),
         {TEXT("Ctrl-PgUp"), TEXT("Ctrl-Home"), true, false}, false, Customised, MachineSetStored},
        {"RestoreNotFound", TEXT("/R /W:N"), 0,
         Writes{Out(TEXT("Settings not found in the registry.\r\n"))} + Report(CustomShown), CustomShown, false,
         Customised},

        // Saving.
        {"SaveUser", TEXT("/W:N /S"), 0, Report(wrapOff) + Writes{Out(SavedTo(TEXT("HKCU")))}, wrapOff, false,
         nullptr, NothingStored, HKEY_CURRENT_USER, FourDwords(0x5008D, 0x50091, 0, 1)},
        {"LastSaveWinsMachine", TEXT("/S /S!"), 0, Report(CustomShown) + Writes{Out(SavedTo(TEXT("HKLM")))},
         CustomShown, false, Customised, NothingStored, HKEY_LOCAL_MACHINE, FourDwords(0x10077, 0x10084, 0, 0)},
        {"LastSaveWinsUser", TEXT("/s! /s"), 0, defaults + Writes{Out(SavedTo(TEXT("HKCU")))}, DefaultsShown,
         false, nullptr, NothingStored, HKEY_CURRENT_USER, FourDwords(0x5008D, 0x50091, 1, 1)},
        {"SavesWrittenTogether", TEXT("/S!/S /B:Ctrl-PgUp /F:Ctrl-PgDn /E:N"), 0,
         Report({TEXT("Ctrl-PgUp"), TEXT("Ctrl-PgDn"), false, true}) + Writes{Out(SavedTo(TEXT("HKCU")))},
         {TEXT("Ctrl-PgUp"), TEXT("Ctrl-PgDn"), false, true}, false, nullptr, NothingStored, HKEY_CURRENT_USER,
         FourDwords(0x10084, 0x10076, 1, 0)},
        {"SaveFailureKeepsSettings", TEXT("/S! /W:N"), 2,
         Report(wrapOff) + Writes{Out(TEXT("\r\n")), Err(ErrorPrefix),
                                  Err(TEXT("Error saving settings to the registry (HKLM) :\r\n")),
                                  Err(TEXT("Access is denied.\r\n"))},
         wrapOff, false, nullptr, NothingStored, nullptr, {}, HKEY_LOCAL_MACHINE},

        // The copy hotkey: read like the back hotkey, None takes it away, and
        // it shows, is saved and is restored only while there is one.
        {"CopyHotkey", copySet, 0, Report(withCopy), withCopy},
        {"CopyHotkeyEqualsAndNone", TEXT("/C=none"), 0, defaults, DefaultsShown, false, copySet},
        {"CopyHotkeyNoneWithoutSeparator", TEXT("/CNONE"), 0, defaults, DefaultsShown, false, copySet},
        {"CopyHotkeyEqualToBackAccepted", TEXT("/c:ctrl-alt-up"), 0,
         Report(WithCopy(DefaultsShown, TEXT("Ctrl-Alt-Up"))), WithCopy(DefaultsShown, TEXT("Ctrl-Alt-Up"))},
        {"CopyAlone", TEXT("/C"), 1, Quoting(TEXT("Unknown key name"), TEXT("/C")), DefaultsShown},
        {"CopyWordIsAKeyName", TEXT("/Copy:Ctrl-Alt-C"), 1,
         Quoting(TEXT("Unknown key name"), TEXT("/COPY:CTRL-ALT-C")), DefaultsShown},
        {"CopyInvalidHotkey", TEXT("/C:Ctrl-C"), 1, Quoting(TEXT("Invalid hotkey"), TEXT("/C:CTRL-C")), withCopy,
         false, copySet},
        {"CopyKeyNotAllowed", TEXT("/c:a"), 1, Quoting(TEXT("Key not allowed"), TEXT("/C:A")), DefaultsShown},
        {"DefaultsTakeTheCopyHotkeyAway", TEXT("/D"), 0, Writes{Out(RestoredDefaults)} + defaults, DefaultsShown,
         false, copySet},
        {"ListDropsTheCopyHotkey", TEXT("/L /C:Ctrl-Alt-C"), 0, listing, DefaultsShown},
        {"SaveWithCopyHotkeyWritesFive", TEXT("/C:Ctrl-Alt-C /S"), 0,
         Report(withCopy) + Writes{Out(SavedTo(TEXT("HKCU")))}, withCopy, false, nullptr, NothingStored,
         HKEY_CURRENT_USER, FiveDwords(0x5008D, 0x50091, 1, 1, 0x5002E)},
        {"SaveWithoutCopyHotkeyRemovesIt", TEXT("/S"), 0, defaults + Writes{Out(SavedTo(TEXT("HKCU")))},
         DefaultsShown, false, nullptr, UserSetWithCopyStored, HKEY_CURRENT_USER,
         FourDwords(0x5008D, 0x50091, 1, 1)},
        {"RestoreBringsTheCopyHotkey", TEXT("/R"), 0,
         Writes{Out(RestoredFrom(TEXT("HKCU")))} + Report(WithCopy(userSet, TEXT("Ctrl-Alt-C"))),
         WithCopy(userSet, TEXT("Ctrl-Alt-C")), false, nullptr, UserSetWithCopyStored},
        {"RestoreWithABrokenCopyHotkeyHasNone", TEXT("/R"), 0,
         Writes{Out(RestoredFrom(TEXT("HKCU")))} + Report(userSet), userSet, false, copySet,
         UserSetWithBrokenCopyStored},

        // The typed filter: read like wrap, shown after the copy hotkey, and
        // saved and restored like it, only while it is on.
        {"TypedFilterOn", TEXT("/T:Y"), 0, Report(WithTyped(DefaultsShown)), WithTyped(DefaultsShown)},
        {"TypedFilterWordAndEquals", TEXT("/Typed=y"), 0, Report(WithTyped(DefaultsShown)), WithTyped(DefaultsShown)},
        {"TypedFilterOff", TEXT("/t:n"), 0, defaults, DefaultsShown, false, TEXT("/T:Y")},
        {"TypedFilterWithoutValue", TEXT("/T"), 1, Quoting(TEXT("Expected a Y or N"), TEXT("/T")), DefaultsShown},
        {"TypedFilterDigit", TEXT("/T:1 /W:N"), 1, Quoting(TEXT("Expected a Y or N"), TEXT("/T:1")),
         DefaultsShown},
        {"TypedLineAfterTheCopyLine", TEXT("/T:Y /C:Ctrl-Alt-C"), 0, Report(WithTyped(withCopy)),
         WithTyped(withCopy)},
        {"DefaultsTurnTheTypedFilterOff", TEXT("/D"), 0, Writes{Out(RestoredDefaults)} + defaults, DefaultsShown,
         false, TEXT("/T:Y")},
        {"SaveWithTypedFilterWritesItLast", TEXT("/T:Y /S"), 0,
         Report(WithTyped(DefaultsShown)) + Writes{Out(SavedTo(TEXT("HKCU")))}, WithTyped(DefaultsShown), false,
         nullptr, NothingStored, HKEY_CURRENT_USER,
         AndValue(FourDwords(0x5008D, 0x50091, 1, 1), TypedFilterStored)},
        {"SaveWithoutTypedFilterRemovesIt", TEXT("/S"), 0, defaults + Writes{Out(SavedTo(TEXT("HKCU")))},
         DefaultsShown, false, nullptr, UserSetWithTypedStored, HKEY_CURRENT_USER,
         FourDwords(0x5008D, 0x50091, 1, 1)},
        {"RestoreBringsTheTypedFilter", TEXT("/R"), 0,
         Writes{Out(RestoredFrom(TEXT("HKCU")))} + Report(WithTyped(userSet)), WithTyped(userSet), false, nullptr,
         UserSetWithTypedStored},
        {"RestoreWithTypedFilterTwoHasItOff", TEXT("/R"), 0,
         Writes{Out(RestoredFrom(TEXT("HKCU")))} + Report(userSet), userSet, false, TEXT("/T:Y"),
         UserSetWithBrokenTypedStored},

        // Terminal marks: read like the typed filter, with A for auto, which
        // is neither shown nor saved.
        {"TerminalMarksYes", TEXT("/M:Y"), 0, Report(marksYes), marksYes},
        {"TerminalMarksDigit", TEXT("/M:1 /W:N"), 1, Quoting(TEXT("Expected a Y, N or A"), TEXT("/M:1")),
         DefaultsShown},
        {"SaveWithTerminalMarksNo", TEXT("/Marks=no /S"), 0, Report(marksNo) + Writes{Out(SavedTo(TEXT("HKCU")))},
         marksNo, false, nullptr, NothingStored, HKEY_CURRENT_USER, savedMarks(0)},
        {"SaveWithTerminalMarksYes", TEXT("/M:Y /S"), 0, Report(marksYes) + Writes{Out(SavedTo(TEXT("HKCU")))},
         marksYes, false, nullptr, NothingStored, HKEY_CURRENT_USER, savedMarks(1)},
        {"SaveWithTerminalMarksAutoRemovesThem", TEXT("/M:A /S"), 0, defaults + Writes{Out(SavedTo(TEXT("HKCU")))},
         DefaultsShown, false, TEXT("/M:Y /S"), NothingStored, HKEY_CURRENT_USER, defaultSet},
    };
}

// Cases print as their names in failure messages.
inline void PrintTo(const CommandCase& c, std::ostream* os)
{
    *os << c.name;
}
