#include "standins/session/session_commands.h"

#include <string>
#include <vector>

#include "standins/session/session_console.h"
#include "standins/session/session_line.h"

namespace {

enum {
    DefaultCount = 20,
    MaxCount = 100000,
};

std::wstring Padded(unsigned long long value, size_t width, WCHAR pad)
{
    std::wstring text = std::to_wstring(value);
    if (text.size() < width)
        text.insert(0, width - text.size(), pad);
    return text;
}

void Count(const std::wstring& rest)
{
    int count = 0;
    if (!ParseCount(rest, DefaultCount, MaxCount, &count)) {
        SessionWrite(L"count: give a number from 1 to " + std::to_wstring(MaxCount) + L"\r\n");
        return;
    }
    std::wstring text;
    for (int i = 1; i <= count; ++i) {
        text += L"line " + std::to_wstring(i) + L" of " + std::to_wstring(count) + L"\r\n";
        if (text.size() > 8192) {
            SessionWrite(text);
            text.clear();
        }
    }
    SessionWrite(text);
}

std::wstring FileLine(const WIN32_FIND_DATAW& found)
{
    FILETIME local;
    SYSTEMTIME time = {};
    FileTimeToLocalFileTime(&found.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &time);
    std::wstring line = Padded(time.wYear, 4, L'0') + L"-" + Padded(time.wMonth, 2, L'0') + L"-" +
                        Padded(time.wDay, 2, L'0') + L"  " + Padded(time.wHour, 2, L'0') + L":" +
                        Padded(time.wMinute, 2, L'0') + L"  ";
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        line += L"       <DIR>  ";
    } else {
        unsigned long long size = ((unsigned long long)found.nFileSizeHigh << 32) | found.nFileSizeLow;
        line += Padded(size, 12, L' ') + L"  ";
    }
    return line + found.cFileName + L"\r\n";
}

void Dir()
{
    WCHAR folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    SessionWrite(std::wstring(L" Folder ") + folder + L"\r\n\r\n");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(L".\\*", &found);
    if (search == INVALID_HANDLE_VALUE) {
        SessionWrite(L"dir: nothing to list (error " + std::to_wstring(GetLastError()) + L")\r\n");
        return;
    }
    int entries = 0;
    do {
        SessionWrite(FileLine(found));
        ++entries;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    SessionWrite(L"\r\n " + std::to_wstring(entries) + L" entries\r\n");
}

// What the clipboard holds as text, as the user would paste it.
void Paste(std::wstring* note)
{
    std::wstring text;
    bool held = false;
    if (OpenClipboard(nullptr)) {
        HANDLE data = GetClipboardData(CF_UNICODETEXT);
        const WCHAR* at = data ? static_cast<const WCHAR*>(GlobalLock(data)) : nullptr;
        if (at) {
            text = at;
            held = true;
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    if (!held) {
        SessionWrite(L"paste: the clipboard holds no text\r\n");
        return;
    }
    SessionWrite(text + L"\r\n");
    // One log line: the text's lines joined by "|".
    size_t at;
    while ((at = text.find(L"\r\n")) != std::wstring::npos)
        text.replace(at, 2, L"|");
    *note = L"pasted: " + text;
}

void Mirvane(const SessionPlugin& plugin, const std::wstring& rest)
{
    // The host hands the command a buffer of its own that it may change.
    std::vector<WCHAR> arguments(rest.begin(), rest.end());
    arguments.resize(rest.size() + 1024, 0);
    int result = plugin.command(arguments.data());
    SessionWrite(L"(mirvane returned " + std::to_wstring(result) + L")\r\n");
}

} // namespace

void PrintSessionHelp(void)
{
    SessionWrite(
        L"Type a command and press Enter:\r\n"
        L"  count N      print N numbered lines (20 without N): something to scroll through\r\n"
        L"  dir          list the current folder\r\n"
        L"  paste        print what the clipboard holds, say after the copy hotkey\r\n"
        L"  mirvane ...  the plug-in's command: mirvane /? for its help, mirvane alone\r\n"
        L"               for the settings, mirvane /B:Ctrl-Up to change the back hotkey\r\n"
        L"  help         this text\r\n"
        L"  exit         end the session\r\n"
        L"Keys: Ctrl-Alt-Up moves the window so that the previous command line is its\r\n"
        L"top row, Ctrl-Alt-Down to the next one (or the hotkeys mirvane shows).\r\n"
        L"With mirvane /C:Ctrl-Alt-C, Ctrl-Alt-C copies the last command's output.\r\n"
        L"Backspace erases, Esc clears the line, Ctrl-C abandons it.\r\n");
}

SessionOutcome RunCommandLine(const SessionPlugin& plugin, const WCHAR* line, std::wstring* note)
{
    std::wstring word;
    std::wstring rest;
    SplitCommand(line, &word, &rest);
    if (word.empty())
        return SessionContinue;
    if (SameWord(word, L"exit"))
        return SessionExit;
    if (SameWord(word, L"mirvane"))
        Mirvane(plugin, rest);
    else if (SameWord(word, L"count"))
        Count(rest);
    else if (SameWord(word, L"dir"))
        Dir();
    else if (SameWord(word, L"paste"))
        Paste(note);
    else if (SameWord(word, L"help") || SameWord(word, L"?"))
        PrintSessionHelp();
    else
        SessionWrite(L"Unknown command \"" + word + L"\". Type help for the commands.\r\n");
    return SessionContinue;
}
