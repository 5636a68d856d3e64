// mirvane_session.exe: a stand-in for the host that a person can type at.
// It loads Mirvane.dll beside it the way the host does, hands it every
// keystroke of its command line, runs `mirvane` and a few built-ins, and
// echoes through the stand-in TakeCmd.dll whatever the plug-in prints.
//
//   mirvane_session.exe [--host 23|24] [--log FILE] [--marks 133|633]
//
// --marks prints README's prompt: the prompt between the shell-integration
// marks a prompt string can write (D, A and B, in that family), with
// virtual-terminal processing on, as a terminal built on the pseudo console
// reads them; Wine's console shows them as characters.
#include <windows.h>

#include <stdio.h>

#include <string>

#include "standins/host/host_standin.h"
#include "standins/session/host_keys.h"
#include "standins/session/session_commands.h"
#include "standins/session/session_console.h"
#include "standins/session/session_plugin.h"
#include "standins/session/session_typing.h"

namespace {

const WCHAR Prompt[] = L"session> ";
enum { ScrollBackRows = 3000 };

struct Options {
    int hostGeneration = 24;
    std::wstring logPath;
    std::wstring markFamily; // "133" or "633"; empty: a plain prompt
};

struct Session {
    SessionPlugin plugin;
    Options options;
    HANDLE input;
    TypedLine line;
};

bool ParseOptions(int argc, wchar_t** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        std::wstring option = argv[i];
        if (option == L"--host" && i + 1 < argc) {
            std::wstring value = argv[++i];
            if (value != L"23" && value != L"24")
                return false;
            options->hostGeneration = value == L"23" ? 23 : 24;
        } else if (option == L"--log" && i + 1 < argc) {
            options->logPath = argv[++i];
        } else if (option == L"--marks" && i + 1 < argc) {
            options->markFamily = argv[++i];
            if (options->markFamily != L"133" && options->markFamily != L"633")
                return false;
        } else {
            return false;
        }
    }
    return true;
}

std::wstring PluginPath()
{
    WCHAR path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    size_t slash = folder.find_last_of(L"\\/");
    folder.erase(slash == std::wstring::npos ? 0 : slash + 1);
    return folder + L"Mirvane.dll";
}

std::string Utf8(const std::wstring& text)
{
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0,
        nullptr, nullptr);
    std::string out(bytes > 0 ? (size_t)bytes : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &out[0], bytes, nullptr,
            nullptr);
    return out;
}

// The log a test reads while the session runs: "started", one "line" per
// command line run (after it ran, with the row where it began) and what the
// command noted, one "hotkey" per consumed key (with where the window
// went), "ended".
void LogLine(const Session& session, const std::wstring& text)
{
    if (session.options.logPath.empty())
        return;
    FILE* log = _wfopen(session.options.logPath.c_str(), L"ab");
    if (!log)
        return;
    fprintf(log, "%s\n", Utf8(text).c_str());
    fclose(log);
}

std::wstring Hex(int32_t code)
{
    WCHAR digits[16];
    swprintf(digits, 16, L"0x%X", (unsigned)code);
    return digits;
}

std::wstring ModifierNames(int modifiers)
{
    std::wstring names;
    if (modifiers & HostCtrlHeld)
        names += L"Ctrl+";
    if (modifiers & HostAltHeld)
        names += L"Alt+";
    if (modifiers & HostShiftHeld)
        names += L"Shift+";
    if (names.empty())
        return L"none";
    names.pop_back();
    return names;
}

void LogConsumedKey(const Session& session, int32_t code, int modifiers)
{
    int top = -1;
    std::wstring text;
    ReadWindowTop(&top, &text);
    LogLine(session, L"hotkey " + Hex(code) + L" held " + ModifierNames(modifiers) + L" top " +
                         std::to_wstring(top) + L": " + text);
}

void ShowPrompt(Session* session)
{
    const std::wstring& family = session->options.markFamily;
    auto mark = [&](const WCHAR* kind) { return L"\x1b]" + family + L";" + kind + L"\x1b\\"; };
    SessionWrite(family.empty() ? Prompt : mark(L"D") + mark(L"A") + Prompt + mark(L"B"));
    BeginTypedLine(&session->line);
}

SessionOutcome EnterLine(Session* session)
{
    SessionWrite(L"\r\n");
    const WCHAR* text = session->line.text.text;
    std::wstring note;
    SessionOutcome outcome = RunCommandLine(session->plugin, text, &note);
    LogLine(*session, L"line row " + std::to_wstring(TypedLineRow(session->line)) + L": " + text);
    if (!note.empty())
        LogLine(*session, note);
    if (outcome == SessionContinue)
        ShowPrompt(session);
    return outcome;
}

// The host's part of a keystroke: number it, let the plug-in see it first,
// then edit or run the line unless the plug-in consumed it.
SessionOutcome HandleKey(Session* session, const KEY_EVENT_RECORD& key)
{
    if (IsModifierOnlyKey(key.wVirtualKeyCode))
        return SessionContinue;
    int modifiers = HostModifierMask(key.dwControlKeyState);
    WCHAR character = key.uChar.UnicodeChar;
    int32_t code = HostKeyCode(key.wVirtualKeyCode, character, modifiers,
        session->options.hostGeneration > 23);
    if (SendKeyToPlugin(session->plugin, code, TypedLineRow(session->line), modifiers) == 0) {
        LogConsumedKey(*session, code, modifiers);
        return SessionContinue;
    }
    if (key.wVirtualKeyCode == VK_RETURN)
        return EnterLine(session);
    if (key.wVirtualKeyCode == 'C' && modifiers == HostCtrlHeld) {
        SessionWrite(L"^C\r\n");
        ShowPrompt(session);
        return SessionContinue;
    }
    EditTypedLine(&session->line, key.wVirtualKeyCode, character, modifiers);
    return SessionContinue;
}

// The plug-in's beep timer is a thread timer: its callback runs only when
// this thread dispatches messages, so the wait for keys dispatches them too.
void DispatchMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int Run(Session* session)
{
    ShowPrompt(session);
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjects(1, &session->input, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0 + 1) {
            DispatchMessages();
            continue;
        }
        if (woke != WAIT_OBJECT_0)
            return 1;
        INPUT_RECORD records[32];
        DWORD count = 0;
        if (!ReadConsoleInputW(session->input, records, 32, &count))
            return 1;
        for (DWORD i = 0; i < count; ++i) {
            if (records[i].EventType != KEY_EVENT || !records[i].Event.KeyEvent.bKeyDown)
                continue;
            const KEY_EVENT_RECORD& key = records[i].Event.KeyEvent;
            for (WORD repeat = 0; repeat < (key.wRepeatCount ? key.wRepeatCount : 1); ++repeat) {
                if (HandleKey(session, key) == SessionExit)
                    return 0;
            }
        }
    }
}

void WaitForAnyKey(HANDLE input)
{
    SessionWrite(L"Press any key to close this window.\r\n");
    for (;;) {
        INPUT_RECORD record;
        DWORD count = 0;
        if (!ReadConsoleInputW(input, &record, 1, &count))
            return;
        if (count == 1 && record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
            !IsModifierOnlyKey(record.Event.KeyEvent.wVirtualKeyCode))
            return;
    }
}

void PrintTerminalNotice()
{
    SessionWrite(
        L"\r\nThis console is a terminal, not a window. You will see the plug-in's\r\n"
        L"output and your typing, and the hotkeys do move the console's window over\r\n"
        L"its buffer, but Wine's terminal console does not redraw when the window moves:\r\n"
        L"you will NOT see the jump here. Start it with a display (scripts/try under X)\r\n"
        L"for a console window that shows it.\r\n\r\n");
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    Session session = {};
    if (!ParseOptions(argc, argv, &session.options)) {
        fprintf(stderr, "usage: mirvane_session.exe [--host 23|24] [--log FILE] [--marks 133|633]\n");
        return 2;
    }
    session.input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(session.input, &mode)) {
        fprintf(stderr, "mirvane_session: standard input must be a console\n");
        return 2;
    }
    // Keys one at a time, Ctrl-C among them, and no echo but ours.
    SetConsoleMode(session.input, ENABLE_EXTENDED_FLAGS);
    SetConsoleCtrlHandler(nullptr, TRUE);
    EnsureBufferRows(ScrollBackRows);
    if (!session.options.markFamily.empty())
        EnableTerminalSequences();

    HostSetEcho(1);
    HostSetVariable(L"_transient", L"0");
    HostSetVariable(L"_pipe", L"0");
    HostSetVariable(L"_batch", L"0");
    const WCHAR* version = session.options.hostGeneration > 23 ? L"24.0" : L"23.0";
    HostSetVariable(L"_4ver", version);

    SessionWrite(std::wstring(L"Mirvane session (stand-in host ") + version +
                 L"). Type help for what to do.\r\n");
    if (!ConsoleHasWindow())
        PrintTerminalNotice();

    std::wstring error;
    if (!StartPlugin(PluginPath(), &session.plugin, &error)) {
        SessionWrite(L"mirvane_session: " + error + L"\r\n");
        LogLine(session, L"failed: " + error);
        if (ConsoleHasWindow())
            WaitForAnyKey(session.input); // the window would close before it could be read
        SetConsoleMode(session.input, mode);
        return 1;
    }
    LogLine(session, std::wstring(L"started host ") + version);
    int status = Run(&session);
    StopPlugin(&session.plugin);
    LogLine(session, L"ended");
    SetConsoleMode(session.input, mode);
    return status;
}
