#include "plugin/help.h"

#include "plugin/diagnostics.h"
#include "plugin/text.h"

// The synopsis line alone ends in "\r\n", and some lines keep a trailing
// space: the host shows this text as it stands.
constexpr WCHAR HelpText[] =
    TEXT("Display and change plugin settings.\n")
    TEXT("\n")
    TEXT("MIRVANE /B:key /D /E:yn /F:key /L /R /S /W:yn \r\n")
    TEXT("\n")
    TEXT("\t/B:\tset the back (up) hotkey\n")
    TEXT("\t/D\trestore plugin defaults\n")
    TEXT("\t/E:\tenable or disable the error sound\n")
    TEXT("\t/F:\tset the forward (down) hotkey\n")
    TEXT("\t/L\tlist all supported hotkeys\n")
    TEXT("\t/R\trestore saved settings from the registry\n")
    TEXT("\t/S\tsave current settings to the registry\n")
    TEXT("\t/W:\tenable or disable wrap\n")
    TEXT("\n")
    TEXT("Pressing the \u2018back\u2019 hotkey scrolls the console window back through \n")
    TEXT("previous commands; the \u2018forward\u2019 hotkey scrolls forward.  Only\n")
    TEXT("commands entered after this plugin was loaded are recognized.\n");

enum { CommandNameLength = 10 };

struct CommandEntry {
    WCHAR name[CommandNameLength + 1];
    const WCHAR* helpText;
};

static const CommandEntry CommandTable[] = {
    {TEXT("mirvane"), HelpText},
};

static const CommandEntry* FindCommand(const WCHAR* name)
{
    for (const CommandEntry& entry : CommandTable) {
        if (TextEqualsNoCase(name, entry.name))
            return &entry;
    }
    return NULL;
}

bool ShowHelp(const WCHAR* name)
{
    if (!name)
        return false;
    WCHAR title[TextBufferLength];
    wsprintfW(title, TEXT("%s Plugin Help"), PluginName);
    const CommandEntry* entry = FindCommand(name);
    if (!entry)
        return false;
    MessageBoxW(GetForegroundWindow(), entry->helpText, title, MB_OK);
    return true;
}

// The usage text is the help text without its opening description: from
// the line after the first line feed, blank lines skipped.
static const WCHAR* UsagePart(const WCHAR* helpText)
{
    const WCHAR* p = helpText;
    while (*p && *p != '\n')
        ++p;
    if (!*p)
        return helpText;
    while (*p == '\n')
        ++p;
    return p;
}

bool CopyUsage(const WCHAR* name, WCHAR* usage)
{
    // Names marked with these prefixes are never the plug-in's commands.
    if (!name || name[0] == '@' || name[0] == '_')
        return false;
    const CommandEntry* entry = FindCommand(name);
    if (!entry || !usage)
        return false;
    TextCopy(usage, TextBufferLength, UsagePart(entry->helpText));
    return true;
}
