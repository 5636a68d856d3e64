// What each runner supplies to the shared cases: the plug-in's exports, and
// the console, keyboard, beep, registry and environment they run against.
// The native runner (tests/native/harness.cpp) builds them from the Windows
// stand-in; the Wine runner (tests/wine/harness.cpp) from the real DLL, the
// real console and the real registry. Only the host is the same stand-in on
// both sides (standins/host/host_standin.h).
#pragma once

#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "host/host_api.h"
#include "tests/cases/case_text.h"

typedef PluginInfoRecord* (*GetPluginInfoFunction)(void);
typedef int (*InitializePluginFunction)(void);
typedef int (*ShutdownPluginFunction)(BOOL);
typedef int (*KeyFunction)(KeyEventRecord*);
typedef int (*CommandFunction)(WCHAR*);
typedef int (*HelpFunction)(WCHAR*);
typedef int (*UsageFunction)(WCHAR*, WCHAR*);

// The seven exports, found as the host finds them; a missing one is null.
struct PluginExports {
    GetPluginInfoFunction getPluginInfo;
    InitializePluginFunction initializePlugin;
    ShutdownPluginFunction shutdownPlugin;
    KeyFunction key;
    CommandFunction command;
    HelpFunction help;
    UsageFunction usage;
};

// The consoles people run, each a profile of the stand-in's console with
// the Windows version that goes with it, and the marker bit start-up must
// choose there. The Wine runner has one real console: Documented.
enum class ConsoleProfileKind { Documented, Modern, Pseudo };

struct ConsoleKind {
    const char* name;
    ConsoleProfileKind profile;
    DWORD major, minor, build;
    WORD marker;
};

const ConsoleKind DocumentedConsoleKind = {"Documented", ConsoleProfileKind::Documented, 6, 1, 7601, 0x2000};
// The classic console still selectable on Windows 11: every bit kept, the
// newer marker chosen.
const ConsoleKind LegacyOnWindows11 = {"LegacyOnWindows11", ConsoleProfileKind::Documented, 10, 0, 22000,
                                       0x0800};
const ConsoleKind ModernConsoleKind = {"Modern", ConsoleProfileKind::Modern, 10, 0, 19041, 0x0800};
// Windows 10 1909 may already run the newer console, below the switch to
// the newer marker.
const ConsoleKind Windows10Version1909 = {"Windows10Version1909", ConsoleProfileKind::Modern, 10, 0, 18363,
                                          0x2000};
const ConsoleKind PseudoConsoleKind = {"Pseudo", ConsoleProfileKind::Pseudo, 10, 0, 22621, 0x0800};

enum Modifier { NoModifier = 0, Shift = 1, Ctrl = 2, Alt = 4 };

// One stored registry value, as a user or an installer may leave it.
struct StoredValue {
    Text name;
    DWORD type;
    std::vector<BYTE> data;
};

inline bool operator==(const StoredValue& a, const StoredValue& b)
{
    return a.name == b.name && a.type == b.type && a.data == b.data;
}

inline void PrintTo(const StoredValue& v, std::ostream* os)
{
    *os << Printable(v.name) << " type " << v.type << ", " << v.data.size() << " bytes";
    for (BYTE b : v.data)
        *os << " " << (int)b;
}

inline StoredValue DwordValue(const Text& name, DWORD value)
{
    return {name, REG_DWORD, {(BYTE)value, (BYTE)(value >> 8), (BYTE)(value >> 16), (BYTE)(value >> 24)}};
}

namespace harness {

// A fresh process with the plug-in loaded afresh (every process-wide value
// at its load value), the host reset, no saved settings, no NoLoadMsg, and
// the documented console of 100 x 300 with a 30-row window at the top.
void BeginProcess();
// ShutdownPlugin, as the host's last call, and the module unloaded.
void EndProcess();

const PluginExports& Plugin();

// ---- console ----------------------------------------------------------------

bool RunsOn(const ConsoleKind& console);
// Takes effect for the next LayConsole and for start-up's Windows version.
void UseConsole(const ConsoleKind& console);
// columns x rows of blank cells in plain grey (0x07), the window at
// (left, top) and of the size given. Under a pseudo console the buffer is
// the window.
void LayConsole(int columns, int rows, int left, int top, int windowColumns, int windowRows);
SMALL_RECT Window();
WORD Attribute(int column, int row);
void SetAttribute(int column, int row, WORD attribute);
WCHAR Character(int column, int row);
void WriteCharacters(int column, int row, const Text& text);
void SetCursor(int column, int row);
// What the console does when output passes its last row.
void ScrollBufferUp();
// A cell coloured by an escape sequence: only the native runner models it.
bool CanColourByEscape();
void SetEscapeColoured(int column, int row, WORD nearestLegacy);
// The stand-in counts what the plug-in left open; the Wine runner counts
// the process's real handles in a test of its own.
void ExpectNothingLeftOpen();

// ---- keyboard and beep --------------------------------------------------------

// Holds exactly these modifiers (Modifier bits) until the next call.
void HoldModifiers(int modifiers);
// MessageBeep calls since the last call of this function.
int BeepsSinceAsked();
// What a message pump does once the beep's re-arm timer has elapsed.
void LetBeepTimerRun();

// ---- clipboard ---------------------------------------------------------------------

void SetClipboardText(const Text& text);
// What the clipboard holds as text; none when it holds none.
std::optional<Text> ClipboardText();
// The bytes of the block behind that text, to its GlobalSize, as any other
// process may read them; none when the clipboard holds no text.
std::optional<std::vector<BYTE>> ClipboardBlock();
// Ways the clipboard can be refused, and a block that cannot be shrunk:
// only the stand-in stages them.
enum class ClipboardRefusal { None, HeldElsewhere, NoConsoleWindow, NoMemory, NoShrink };
bool CanRefuseClipboard();
void RefuseClipboard(ClipboardRefusal refusal);

// ---- registry and environment --------------------------------------------------

void StoreValue(HKEY root, const StoredValue& value);
std::optional<StoredValue> ReadValue(HKEY root, const Text& name);
bool SettingsKeyExists(HKEY root);
// Every value name under the settings key, sorted.
std::vector<Text> ValueNames(HKEY root);
// Refusing registry access is the stand-in's alone.
bool CanDenyRegistry();
void DenyRegistry(HKEY root);
void SetEnvironment(const Text& name, const std::optional<Text>& value);

} // namespace harness

// ---- what the cases do with it ----------------------------------------------------

// A fresh process for every test.
class CaseTest : public ::testing::Test {
protected:
    void SetUp() override { harness::BeginProcess(); }
    void TearDown() override { harness::EndProcess(); }
};

// InitializePlugin under the host version given, with its output forgotten
// unless kept; fails the test when the start is refused.
void StartPlugin(const WCHAR* hostVersion, bool keepOutput = false);
// The command with arguments in a buffer of the host's, as it runs it.
int RunCommand(const Text& arguments);
// What "mirvane" alone reports now, with the host's record left as it was.
Writes SettingsNow();
// One keystroke event through the export key.
KeyEventRecord PressKey(int32_t code, int row = 0, void* context = nullptr, WCHAR* keyName = nullptr);
// Tags row as the host's Enter would.
void EnterLine(int row);
// Typing as the host passes it on: from (column, row), each character a
// keystroke carrying the line's row and then echoed at the cursor, which
// wraps at the console's width and scrolls a buffer of bufferRows at its
// end, under a host that follows its line or not; the line's row after.
enum class Scrolling { None, HostFollows, HostStays };
int TypeLine(int row, int column, const Text& typed, int columns, Scrolling scrolling = Scrolling::None,
             int bufferRows = 0);

// Cases that need what one runner has not got are left out of that runner.
template <typename Cases, typename Keep>
auto Runnable(const Cases& cases, Keep keep)
{
    std::vector<typename std::decay<decltype(*std::begin(cases))>::type> kept;
    for (const auto& c : cases) {
        if (keep(c))
            kept.push_back(c);
    }
    return kept;
}

// Test names from the cases' name fields.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}
