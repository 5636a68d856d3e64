// The command mirvane: reads every argument into pending changes first,
// then resolves list / defaults / restore, applies what was given, reports
// and saves. Nothing but /VM is applied unless every argument was good.
#include "settings/command.h"

#include "host/host_api.h"
#include "hotkeys/key_names.h"
#include "hotkeys/key_tables.h"
#include "plugin/diagnostics.h"
#include "plugin/help.h"
#include "plugin/plugin_version.h"
#include "plugin/state.h"
#include "plugin/text.h"
#include "settings/arguments.h"
#include "settings/registry_settings.h"

static const WCHAR PlatformName[] = TEXT("x64");

enum OptionKind {
    OptionHelp,
    OptionHelpVersion,
    OptionBack,
    OptionCopy,
    OptionDefaults,
    OptionErrorSound,
    OptionForward,
    OptionList,
    OptionTerminalMarks,
    OptionRestore,
    OptionSaveUser,
    OptionSaveMachine,
    OptionTypedFilter,
    OptionVisibleMarker,
    OptionWrap,
};

enum OptionMatch {
    MatchWhole,     // the whole text, ASCII case folded (so /? and /?? exactly)
    MatchFirstTwo,  // the slash and the letter; anything may follow
};

struct OptionEntry {
    const WCHAR* name;
    OptionMatch match;
    OptionKind kind;
};

// Searched top to bottom; the first match decides. /VM is matched on "/V"
// alone, so "/V:Y" and "/Visible:Y" work too.
static constexpr OptionEntry OptionTable[] = {
    {TEXT("/?"), MatchWhole, OptionHelp},
    {TEXT("/??"), MatchWhole, OptionHelpVersion},
    {TEXT("/B"), MatchFirstTwo, OptionBack},
    {TEXT("/C"), MatchFirstTwo, OptionCopy},
    {TEXT("/D"), MatchWhole, OptionDefaults},
    {TEXT("/E"), MatchFirstTwo, OptionErrorSound},
    {TEXT("/F"), MatchFirstTwo, OptionForward},
    {TEXT("/L"), MatchWhole, OptionList},
    {TEXT("/M"), MatchFirstTwo, OptionTerminalMarks},
    {TEXT("/R"), MatchWhole, OptionRestore},
    {TEXT("/S"), MatchWhole, OptionSaveUser},
    {TEXT("/S!"), MatchWhole, OptionSaveMachine},
    {TEXT("/T"), MatchFirstTwo, OptionTypedFilter},
    {TEXT("/VM"), MatchFirstTwo, OptionVisibleMarker},
    {TEXT("/W"), MatchFirstTwo, OptionWrap},
};

// -1 marks a value that was not given: KeyNameToCode's -1 is rejected
// before it could be stored, and Y/N values are 0 or 1.
struct PendingChanges {
    KeyCode hotkeyUp;
    KeyCode hotkeyDown;
    KeyCode copyHotkey; // 0 for None
    int32_t wrap;
    int32_t errorSound;
    int32_t typedFilter;
    int32_t terminalMarks;
    bool restoreDefaults;
    bool restoreSaved;
    bool listHotkeys;
    HKEY saveRoot; // null: no save asked for
};

enum CommandResult {
    CommandOk = 0,
    CommandBadArgument = 1,
    CommandSaveFailed = 2,
    CommandContinue = -1, // an argument was read; go on with the next
};

static bool OptionMatches(const OptionEntry* option, const WCHAR* argument)
{
    switch (option->match) {
    case MatchWhole:
        return TextEqualsNoCase(argument, option->name);
    case MatchFirstTwo:
        return argument[0] == option->name[0] &&
               AsciiLower(argument[1]) == AsciiLower(option->name[1]);
    }
    return false;
}

static const OptionEntry* FindOption(const WCHAR* argument)
{
    for (const OptionEntry& option : OptionTable) {
        if (OptionMatches(&option, argument))
            return &option;
    }
    return nullptr;
}

static const WCHAR* RootName(HKEY root)
{
    return root == HKEY_LOCAL_MACHINE ? TEXT("HKLM") : TEXT("HKCU");
}

// The argument is quoted in capitals (ASCII only), in place.
static int ReportArgumentError(const WCHAR* format, WCHAR* argument)
{
    TextUpperInPlace(argument);
    WriteErrorPrefix();
    Qprintf(ErrorOutput(), format, argument);
    return CommandBadArgument;
}

static int ReportError(const WCHAR* message)
{
    WriteErrorPrefix();
    Qprintf(ErrorOutput(), message);
    return CommandBadArgument;
}

// The first letter of the value, after "/Name:" or "/Name=", in capitals;
// only it counts.
static WCHAR ValueLetter(const WCHAR* argument)
{
    const WCHAR* p = argument;
    if (*p == '/') {
        ++p;
        while (IsAlphaChar(*p))
            ++p;
        if (*p == ':' || *p == '=')
            ++p;
    }
    return AsciiUpper(*p);
}

// A value's letter and what it sets.
struct ValueChoice {
    WCHAR letter;
    int32_t value;
};

static constexpr ValueChoice YesNoLetters[] = {{'Y', 1}, {'N', 0}};
static constexpr ValueChoice MarksLetters[] = {{'Y', MarksYes}, {'N', MarksNo}, {'A', MarksAuto}};

template <int Count>
static bool ParseChoice(WCHAR* argument, const ValueChoice (&choices)[Count], const WCHAR* refusal, int32_t* value)
{
    WCHAR letter = ValueLetter(argument);
    for (const ValueChoice& choice : choices) {
        if (choice.letter == letter) {
            *value = choice.value;
            return true;
        }
    }
    ReportArgumentError(refusal, argument);
    return false;
}

bool ParseYesNo(WCHAR* argument, int32_t* value)
{
    return ParseChoice(argument, YesNoLetters, TEXT("Expected a Y or N: \"%s\"\r\n"), value);
}

// "/B:name", "/B=name" and "/Bname" all carry the name after the letter.
// Only the copy hotkey may be None.
static bool ParseHotkeyArgument(WCHAR* argument, KeyCode* pending, bool noneAllowed)
{
    const WCHAR* name = argument + 2;
    if (*name == ':' || *name == '=')
        ++name;
    if (noneAllowed && TextEqualsNoCase(name, TEXT("None"))) {
        *pending = 0;
        return true;
    }
    KeyCode code = KeyNameToCode(name);
    switch (code) {
    case 0:
        ReportArgumentError(TEXT("Unknown key name: \"%s\"\r\n"), argument);
        return false;
    case KeyCodeInvalid:
        ReportArgumentError(TEXT("Invalid hotkey: \"%s\"\r\n"), argument);
        return false;
    case KeyCodeNotAllowed:
        ReportArgumentError(TEXT("Key not allowed: \"%s\"\r\n"), argument);
        return false;
    }
    // Accepted, it would be shown and saved and then never fire.
    if (EntersTheLine(code)) {
        ReportArgumentError(TEXT("Not usable as a hotkey (it enters the line): \"%s\"\r\n"), argument);
        return false;
    }
    *pending = code;
    return true;
}

static int WriteHelp(bool withVersion)
{
    QPuts(HelpText);
    if (withVersion) {
        Printf(TEXT("\r\n\t\t\t\t\t%s  %u.%u.%u.%u (%s)\r\n"), PluginName, PluginMajorVersion,
               PluginMinorVersion, PluginBuildNumber, PluginRevision, PlatformName);
    }
    return CommandOk;
}

// CommandContinue, or the command's result when this argument ends it.
static int ReadArgument(WCHAR* argument, PendingChanges* pending)
{
    const OptionEntry* option = FindOption(argument);
    if (option == nullptr) {
        if (argument[0] == '/')
            return ReportArgumentError(TEXT("Unknown option: \"%s\"\r\n"), argument);
        return ReportArgumentError(TEXT("Syntax error: \"%s\"\r\n"), argument);
    }

    bool read = true;
    switch (option->kind) {
    case OptionHelp:
        return WriteHelp(false);
    case OptionHelpVersion:
        return WriteHelp(true);
    case OptionBack:
        read = ParseHotkeyArgument(argument, &pending->hotkeyUp, false);
        break;
    case OptionCopy:
        read = ParseHotkeyArgument(argument, &pending->copyHotkey, true);
        break;
    case OptionDefaults:
        pending->restoreDefaults = true;
        break;
    case OptionErrorSound:
        read = ParseYesNo(argument, &pending->errorSound);
        break;
    case OptionForward:
        read = ParseHotkeyArgument(argument, &pending->hotkeyDown, false);
        break;
    case OptionList:
        pending->listHotkeys = true;
        break;
    case OptionTerminalMarks:
        read = ParseChoice(argument, MarksLetters, TEXT("Expected a Y, N or A: \"%s\"\r\n"), &pending->terminalMarks);
        break;
    case OptionRestore:
        pending->restoreSaved = true;
        break;
    case OptionSaveUser:
        pending->saveRoot = HKEY_CURRENT_USER;
        break;
    case OptionSaveMachine:
        pending->saveRoot = HKEY_LOCAL_MACHINE;
        break;
    case OptionTypedFilter:
        read = ParseYesNo(argument, &pending->typedFilter);
        break;
    case OptionVisibleMarker:
        // Not a pending change: it takes effect even if a later argument fails.
        read = ParseYesNo(argument, &visibleMarker);
        break;
    case OptionWrap:
        read = ParseYesNo(argument, &pending->wrap);
        break;
    }
    return read ? CommandContinue : CommandBadArgument;
}

// The user's own settings first, then the machine's, as at start-up.
static void RestoreSavedSettings(void)
{
    static const HKEY roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
    for (HKEY root : roots) {
        if (LoadSettings(root)) {
            Printf(TEXT("Settings restored from the registry (%s).\r\n"), RootName(root));
            return;
        }
    }
    Printf(TEXT("Settings not found in the registry.\r\n"));
}

static void ApplyPendingValues(const PendingChanges* pending)
{
    if (pending->hotkeyUp != -1)
        Settings.HotkeyUp = pending->hotkeyUp;
    if (pending->hotkeyDown != -1)
        Settings.HotkeyDown = pending->hotkeyDown;
    if (pending->wrap != -1)
        Settings.Wrap = pending->wrap;
    if (pending->errorSound != -1)
        Settings.ErrorSound = pending->errorSound;
    if (pending->copyHotkey != -1)
        Settings.CopyHotkey = pending->copyHotkey;
    if (pending->typedFilter != -1)
        Settings.TypedFilter = pending->typedFilter;
    if (pending->terminalMarks != -1)
        Settings.TerminalMarks = pending->terminalMarks;
}

static const WCHAR* YesNo(int32_t value)
{
    return value ? TEXT("Yes") : TEXT("No");
}

static void WriteSettingsReport(WCHAR* text)
{
    Printf(TEXT("\r\n%s v%u.%u.%u options:\r\n\n"), PluginName, PluginMajorVersion, PluginMinorVersion,
           PluginBuildNumber);
    KeyCodeToName(Settings.HotkeyUp, text, TextBufferLength);
    Printf(TEXT("    Back hotkey  . . . . . . . /B: %s\r\n"), text);
    KeyCodeToName(Settings.HotkeyDown, text, TextBufferLength);
    Printf(TEXT("    Forward hotkey . . . . . . /F: %s\r\n"), text);
    // Without a copy hotkey the report is the one it always was.
    if (Settings.CopyHotkey != 0) {
        KeyCodeToName(Settings.CopyHotkey, text, TextBufferLength);
        Printf(TEXT("    Copy hotkey  . . . . . . . /C: %s\r\n"), text);
    }
    if (Settings.TypedFilter)
        Printf(TEXT("    Typed filter . . . . . . . /T: Yes\r\n"));
    Printf(TEXT("    Error sound  . . . . . . . /E: %s\r\n"), YesNo(Settings.ErrorSound));
    Printf(TEXT("    Wrap . . . . . . . . . . . /W: %s\r\n"), YesNo(Settings.Wrap));
    // With auto the report is the one it always was.
    if (Settings.TerminalMarks != MarksAuto)
        Printf(TEXT("    Terminal marks . . . . . . /M: %s\r\n"), YesNo(Settings.TerminalMarks == MarksYes));
}

// The settings stay in memory whether or not the save works.
static int SaveToRegistry(HKEY root, WCHAR* text)
{
    LONG status = SaveSettings(root);
    if (status == 0) {
        Printf(TEXT("\r\nSettings saved to the registry (%s).\r\n"), RootName(root));
        return CommandOk;
    }
    FormatSystemError((DWORD)status, text, TextBufferLength);
    CrLf();
    WriteErrorPrefix();
    Qprintf(ErrorOutput(), TEXT("Error saving settings to the registry (%s) :\r\n"),
            RootName(root));
    Qprintf(ErrorOutput(), TEXT("%s\r\n"), text);
    return CommandSaveFailed;
}

static int ResolveAndApply(const PendingChanges* pending, WCHAR* text)
{
    if (pending->listHotkeys) {
        if (pending->restoreDefaults || pending->restoreSaved || pending->saveRoot != nullptr)
            return ReportError(TEXT("Can\u2019t combine /L with other options\r\n"));
        ListHotkeys();
        return CommandOk;
    }
    if (pending->restoreDefaults) {
        if (pending->restoreSaved)
            return ReportError(TEXT("Can\u2019t combine /D and /R\r\n"));
        Settings = DefaultSettings;
        Printf(TEXT("Default plugin settings restored.\r\n"));
    } else if (pending->restoreSaved) {
        RestoreSavedSettings();
    }

    // After the restores, so that a value given with /D or /R wins.
    ApplyPendingValues(pending);
    WriteSettingsReport(text);
    if (pending->saveRoot == nullptr)
        return CommandOk;
    return SaveToRegistry(pending->saveRoot, text);
}

int RunSettingsCommand(WCHAR* arguments)
{
    if (arguments == nullptr)
        return CommandBadArgument;

    PendingChanges pending = {-1, -1, -1, -1, -1, -1, -1, false, false, false, nullptr};
    WCHAR text[TextBufferLength];
    text[0] = 0;

    // An overflow has already been reported; going on as if no argument
    // had been given would print the report and claim success.
    if (ParseArguments(arguments) < 0)
        return CommandBadArgument;

    for (int k = 0; k < ArgumentList.count; ++k) {
        if (ArgumentList.length[k] == 0)
            continue; // quoted whitespace alone
        int result = ReadArgument(ArgumentList.text[k], &pending);
        if (result != CommandContinue)
            return result;
    }
    return ResolveAndApply(&pending, text);
}
