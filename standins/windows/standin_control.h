// How tests drive the Windows stand-in: build the console and the registry,
// hold keys, fire timers, make any call fail, and count what stays open.
// Test code only; the plug-in never includes this.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "standins/windows/windows_standin.h"

namespace standin {

enum class Api {
    CreateFileW,
    CloseHandle,
    GetStdHandle,
    GetConsoleScreenBufferInfo,
    ReadConsoleOutputAttribute,
    WriteConsoleOutputAttribute,
    ReadConsoleOutputW,
    SetConsoleWindowInfo,
    GetConsoleWindow,
    GlobalAlloc,
    GlobalLock,
    GlobalUnlock,
    GlobalFree,
    GlobalReAlloc,
    GlobalSize,
    OpenClipboard,
    EmptyClipboard,
    SetClipboardData,
    CloseClipboard,
    GetAsyncKeyState,
    SetTimer,
    KillTimer,
    MessageBeep,
    MessageBoxW,
    GetForegroundWindow,
    wsprintfW,
    RegOpenKeyExW,
    RegQueryValueExW,
    RegCreateKeyExW,
    RegSetValueExW,
    RegDeleteValueW,
    RegCloseKey,
    GetModuleHandleW,
    GetProcAddress,
    RtlGetVersion,
    GetVersionExW,
    GetEnvironmentVariableW,
    FormatMessageW,
    GetConsoleMode,
    SetConsoleMode,
    SetConsoleCursorPosition,
    WriteConsoleW,
    GetClassNameW,
    Count
};

const char* ApiName(Api api);

// Everything back to a fresh process: a console of columns x rows in the
// documented profile, laid out as SetConsole does but built only once; an
// empty registry; no keys held; no timers, beeps or boxes; no environment;
// RtlGetVersion present reporting 6.1.7601; no faults; empty call log. Of all
// this only the console's cells take memory: Reset(0, 0) holds none.
void Reset(int columns = 100, int rows = 300);

// ---- calls and faults ------------------------------------------------------

// Every stand-in call is logged in order; a failure forced below is logged
// too. Failures look the way Windows documents them for that function
// (FALSE/0/INVALID_HANDLE_VALUE/an error status, with SetLastError).
const std::vector<Api>& CallLog();
int CallCount(Api api);
void ClearCallLog(); // also restarts the numbering used by FailCallNumber
void FailCall(Api api, int nth = 1); // the nth call of api from now on fails
void FailAllCalls(Api api, bool on = true);
void FailCallNumber(int n); // the nth logged call (1-based) of any kind fails
// Runs just before the next call of api is carried out (once).
void BeforeCall(Api api, std::function<void()> action);

// ---- console ---------------------------------------------------------------

void SetConsole(int columns, int rows); // blank cells, attribute 0x07, window rows 0..29 clipped, cursor 0,0
void SetConsoleAvailable(bool available); // false: CreateFileW("CONOUT$") fails
void SetWindow(SMALL_RECT window);
SMALL_RECT Window();
COORD BufferSize();
void SetCursor(COORD cursor);
COORD Cursor();
// Output past the last row: every row one up, a blank last row.
void ScrollUp();
WORD Attribute(int column, int row);
void SetAttribute(int column, int row, WORD attribute);
WCHAR Character(int column, int row);
void SetCharacter(int column, int row, WCHAR c);
int OpenConsoleHandles();

// How a console departs from the documentation. Wine and the documentation
// agree, so DocumentedConsole is the default; the other two are the consoles
// most users run. Sources are the console host's public code and tracker
// (github.com/microsoft/terminal, folders src/host and src/buffer).
struct ConsoleProfile {
    const char* name;
    // Attribute bits an attribute write keeps. The rewritten console host
    // (Windows 10 2004, build 19041, and later; Windows 11) stores a legacy
    // attribute's colours and only the meta bits of USED_META_ATTRS in
    // conattrs.hpp: 0x0400, 0x0800, 0x1000, 0x4000, 0x8000. 0x2000 is lost.
    WORD keptAttributeBits;
    // ReadConsoleOutputAttribute reports 0 for a cell coloured by an escape
    // sequence (256-colour or RGB), where ReadConsoleOutputW gives its nearest
    // legacy colour: issues 5940, 8745 and 11056, fixed only in the newer
    // console host by pull request 6358, which Windows 10 never received.
    bool escapeColoursReadAsZero;
    // The newer console host (src/host) again: SetConsoleWindowInfo with a
    // window reaching past the buffer's end slides or shrinks it instead of
    // failing, and ReadConsoleOutputW of a region wholly outside the buffer
    // fails instead of succeeding with nothing read. (Both answer
    // ReadConsoleOutputAttribute outside the buffer with 0 cells, as Wine does.)
    bool windowPastEndSlides;
    bool readOutsideBufferFails;
    // Under a pseudo console (Windows Terminal, the VS Code terminal, every
    // terminal built on ConPTY) the buffer is only as tall as the window: the
    // scroll-back lives in the terminal, out of reach of the console API.
    bool bufferIsWindow;
    // The class of the console's window: a pseudo console's, which no one
    // sees, is PseudoConsoleWindow; a console window's ConsoleWindowClass.
    const char16_t* windowClass;
    // Both newer hosts act on escape sequences written with
    // ENABLE_VIRTUAL_TERMINAL_PROCESSING on; the documented console, like
    // Wine's, shows them as glyphs. Only OSC sequences are modelled.
    bool interpretsVt;
};

extern const ConsoleProfile DocumentedConsole;
extern const ConsoleProfile ModernConsole;
extern const ConsoleProfile PseudoConsole;

// Takes effect at once and for the next SetConsole; Reset restores
// DocumentedConsole. Under bufferIsWindow, SetConsole(columns, rows) makes a
// window of all the rows.
void SetConsoleProfile(const ConsoleProfile& profile);
// What a terminal behind the console receives, in order, as with the
// pass-through of a pseudo console (Windows Terminal 1.22 and later): the
// text written, unmodified, and each SetConsoleCursorPosition as a CUP
// counted from the window's top-left.
std::u16string TerminalStream();
// The host's output: written at the cursor as WriteConsoleW writes it, and
// sent to the terminal, but no call of the plug-in's.
void Print(const std::u16string& text);
DWORD OutputMode();

// The cell as an escape sequence leaves it, coloured beyond the sixteen
// legacy colours; nearestLegacy is what ReadConsoleOutputW reports for it.
// Writing any attribute to the cell makes it a legacy cell again.
void SetEscapeColoured(int column, int row, WORD nearestLegacy);
bool IsEscapeColoured(int column, int row);

// The arguments of every CreateFileW call since Reset.
struct CreateFileCall {
    std::u16string name;
    DWORD access;
    DWORD share;
    bool security; // a security-attributes pointer was passed
    DWORD disposition;
    DWORD flags;
    bool templateFile; // a template handle was passed
};
std::vector<CreateFileCall> CreateFileCalls();

// ---- memory and the clipboard ------------------------------------------------------

// GetConsoleWindow answers this; null as for a console without a window.
void SetConsoleWindowHandle(HWND window);
// What the clipboard holds as CF_UNICODETEXT; nullopt when it holds none.
std::optional<std::u16string> ClipboardText();
// Every byte of the block behind that text, as a reader that goes by
// GlobalSize sees it; nullopt when no block holds it.
std::optional<std::vector<uint8_t>> ClipboardBlock();
// As if another program had put this there.
void SetClipboardText(const std::u16string& text);
// Another window holds the clipboard open: OpenClipboard fails.
void HoldClipboardElsewhere(bool held);
bool ClipboardIsOpen();
HWND ClipboardOwner();
// GlobalAlloc blocks neither freed nor handed to the clipboard.
int LiveGlobalBlocks();
// GlobalFree calls on a block that was not the caller's to free: freed
// already, or owned by the clipboard.
int WrongGlobalFrees();

// ---- keyboard, timers, sound, message boxes ---------------------------------

void SetKeyHeld(int virtualKey, bool held);

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT elapse;
    TIMERPROC callback;
};
std::vector<Timer> Timers(); // pending, in the order they were set
// What a message pump does once every timer has elapsed: each pending timer's
// callback runs once with (window, WM_TIMER, id, time). Timers stay pending
// until KillTimer.
void FireTimers();
void SetNextTimerId(UINT_PTR id); // SetTimer with no window returns this next (default counts from 1)

std::vector<UINT> Beeps();

struct MessageBoxCall {
    HWND owner;
    std::u16string text;
    std::u16string caption;
    UINT type;
};
std::vector<MessageBoxCall> MessageBoxes();
void SetForegroundWindowHandle(HWND window);

// ---- registry ----------------------------------------------------------------
// Keys are paths below a root, compared ignoring ASCII case, e.g.
// u"Software\\Kelderin\\Mirvane".

void SetRegistryValue(HKEY root, const std::u16string& path, const std::u16string& name, DWORD type,
                      const std::vector<uint8_t>& data);
void SetRegistryDword(HKEY root, const std::u16string& path, const std::u16string& name, DWORD value);
void CreateRegistryKey(HKEY root, const std::u16string& path);
bool RegistryKeyExists(HKEY root, const std::u16string& path);
// nullopt when the value is absent.
struct RegistryData {
    DWORD type;
    std::vector<uint8_t> data;
};
std::optional<RegistryData> RegistryValue(HKEY root, const std::u16string& path,
                                          const std::u16string& name);
std::vector<std::u16string> RegistryValueNames(HKEY root, const std::u16string& path);
// Opening or creating any key under root then fails with ERROR_ACCESS_DENIED.
void DenyRegistryAccess(HKEY root, bool deny = true);
int OpenRegistryKeys();

// The arguments of every RegOpenKeyExW and RegCreateKeyExW call since Reset.
struct RegistryOpenCall {
    Api api;
    HKEY root;
    std::u16string path;
    DWORD reserved; // RegCreateKeyExW; RegOpenKeyExW's options go in options
    bool className; // RegCreateKeyExW: a class was passed
    DWORD options;
    REGSAM access;
    bool security;    // RegCreateKeyExW: a security-attributes pointer was passed
    bool disposition; // RegCreateKeyExW: a disposition was asked for
};
std::vector<RegistryOpenCall> RegistryOpenCalls();

// ---- system ----------------------------------------------------------------

void SetEnvironment(const std::u16string& name, std::optional<std::u16string> value);
// RtlGetVersion absent from NtDll.dll when present is false.
void SetRtlGetVersion(bool present, DWORD major, DWORD minor, DWORD build);
void SetGetVersionEx(bool succeeds, DWORD major, DWORD minor, DWORD build);
// The text FormatMessageW gives for a code (as Windows does, ending in "\r\n").
// Known from Reset: 0, 2, 5, 87. Any other code has no text.
void SetSystemMessage(DWORD code, const std::u16string& text);

// The standard handles GetStdHandle returns.
HANDLE StdOutputHandle();
HANDLE StdErrorHandle();

} // namespace standin
