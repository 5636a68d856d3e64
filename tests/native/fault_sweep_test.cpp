// Every Windows call of the keystroke handler, the beep limiter, start-up and
// the command, failed one at a time. A scenario runs once without faults to
// learn its calls; then once per call with exactly that call failing. Each
// failure must end in the outcome its scenario's table lists for that call,
// leave no console handle or registry key open, and crash nothing (this file
// is meant to run under the sanitizers too).
#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/exports.h"
#include "hotkeys/key_names.h"
#include "plugin/text.h"
#include "test_support.h"

using standin::Api;

namespace {

typedef std::u16string Text;

// ---- the sweep ---------------------------------------------------------------

// What failing a call leads to. occurrence 0 stands for every call of api in
// the run without faults, n for its nth call only; an exact row wins.
template <typename Outcome>
struct FailureRow {
    Api api;
    int occurrence;
    Outcome outcome;
};

template <typename Outcome>
struct Scenario {
    std::string name;
    std::function<void()> setUp; // runs in a fresh process, before the call log is cleared
    std::function<void()> run;
    Outcome unfailed;
    std::vector<FailureRow<Outcome>> failures;
};

template <typename Outcome>
void PrintTo(const Scenario<Outcome>& s, std::ostream* os)
{
    *os << s.name;
}

// How a family of scenarios is judged. expect runs after the set-up and
// before the run, so it can state the outcome relative to the state the run
// starts from; observe states the state after the run in the same words.
template <typename Outcome>
struct Judge {
    std::function<std::string(const Outcome&)> expect;
    std::function<std::string()> observe;
};

void FreshProcess()
{
    CancelBeepTimer(); // module state that outlives the stand-in's reset
    standin::Reset();
    HostReset();
    ResetModuleState();
}

// The calls the run made, as the stand-in logged them.
template <typename Outcome>
std::vector<Api> RunAndCheck(const Scenario<Outcome>& s, const Judge<Outcome>& judge,
                             const Outcome& outcome, int failNumber, const std::string& context)
{
    FreshProcess();
    s.setUp();
    std::string expected = judge.expect(outcome);
    standin::ClearCallLog();
    if (failNumber > 0)
        standin::FailCallNumber(failNumber);
    s.run();
    std::vector<Api> calls = standin::CallLog();
    EXPECT_EQ(expected, judge.observe()) << context;
    EXPECT_EQ(standin::OpenConsoleHandles(), 0) << context << ": a console handle stayed open";
    EXPECT_EQ(standin::OpenRegistryKeys(), 0) << context << ": a registry key stayed open";
    return calls;
}

template <typename Outcome>
const FailureRow<Outcome>* RowFor(const Scenario<Outcome>& s, Api api, int occurrence)
{
    for (const FailureRow<Outcome>& row : s.failures) {
        if (row.api == api && row.occurrence == occurrence)
            return &row;
    }
    for (const FailureRow<Outcome>& row : s.failures) {
        if (row.api == api && row.occurrence == 0)
            return &row;
    }
    return nullptr;
}

template <typename Outcome>
void Sweep(const Scenario<Outcome>& s, const Judge<Outcome>& judge)
{
    const std::vector<Api> calls = RunAndCheck(s, judge, s.unfailed, 0, s.name + ", no call failing");
    ASSERT_FALSE(calls.empty()) << s.name << " makes no Windows call";

    std::vector<bool> exercised(s.failures.size(), false);
    std::map<Api, int> seen;
    for (size_t i = 0; i < calls.size(); ++i) {
        const Api api = calls[i];
        const int occurrence = ++seen[api];
        const int number = (int)i + 1;
        const std::string context = s.name + ", call " + std::to_string(number) + " (" +
                                    standin::ApiName(api) + " #" + std::to_string(occurrence) +
                                    ") failing";
        const FailureRow<Outcome>* row = RowFor(s, api, occurrence);
        if (row == nullptr) {
            ADD_FAILURE() << context << ": the table lists no outcome for it";
            continue;
        }
        exercised[(size_t)(row - s.failures.data())] = true;
        std::vector<Api> failed = RunAndCheck(s, judge, row->outcome, number, context);
        // A failure can only change what comes after it.
        bool samePrefix = failed.size() >= i + 1 &&
                          std::equal(calls.begin(), calls.begin() + number, failed.begin());
        EXPECT_TRUE(samePrefix)
            << context << ": the calls up to the failing one differ from the run without faults";
    }
    for (size_t r = 0; r < s.failures.size(); ++r) {
        EXPECT_TRUE(exercised[r]) << s.name << ": the row for " << standin::ApiName(s.failures[r].api)
                                  << " (occurrence " << s.failures[r].occurrence
                                  << ") was never reached; the calls have changed";
    }
}

std::string Hex(uint32_t value, int width = 0)
{
    std::ostringstream out;
    out << "0x" << std::uppercase << std::hex;
    if (width > 0) {
        out.width(width);
        out.fill('0');
    }
    out << value;
    return out.str();
}

std::string Quoted(const Text& text)
{
    return "\"" + Narrow(text) + "\"";
}

// ---- the keystroke handler and the beep limiter --------------------------------

// Three blocks of column 0 (512, 512 and 176 rows), tags before, inside and
// after the middle one, and a 30-row window between the second and third.
constexpr int kColumns = 100;
constexpr int kRows = 1200;
constexpr int kTop = 700;
constexpr int kTags[] = {50, 600, 1100};
constexpr int kLineRow = 20;
constexpr int kCursorRow = 7;

enum : KeyCode {
    CtrlUp = 0x1008D,   // the host's code, before the handler adds the modifier flags
    CtrlDown = 0x10091,
    CtrlShiftDown = 0x30091,
};

KeyEventRecord gEvent;
WCHAR gKeyName[32];
int gResult;

struct ConsoleView {
    std::vector<WORD> attributes;
    std::vector<WCHAR> characters;
    SMALL_RECT window;
    int32_t code;
    bool hasName;
    Text keyName;
    std::vector<UINT> beeps;
    size_t timers;
    int32_t beepArmed;
};

ConsoleView Capture()
{
    ConsoleView v;
    COORD size = standin::BufferSize();
    for (int row = 0; row < size.Y; ++row) {
        for (int column = 0; column < size.X; ++column) {
            v.attributes.push_back(standin::Attribute(column, row));
            v.characters.push_back(standin::Character(column, row));
        }
    }
    v.window = standin::Window();
    v.code = gEvent.code;
    v.hasName = gEvent.keyName != nullptr;
    v.keyName = v.hasName ? Text(gEvent.keyName) : Text();
    v.beeps = standin::Beeps();
    v.timers = standin::Timers().size();
    v.beepArmed = ErrorBeep.armed;
    return v;
}

// The run's starting point, taken by the expectation.
ConsoleView gBefore;

std::string CellChanges(const ConsoleView& before, const ConsoleView& after)
{
    std::string out;
    int listed = 0;
    int more = 0;
    for (size_t i = 0; i < before.attributes.size() && i < after.attributes.size(); ++i) {
        if (before.attributes[i] == after.attributes[i] && before.characters[i] == after.characters[i])
            continue;
        if (listed == 8) {
            ++more;
            continue;
        }
        ++listed;
        out += "(" + std::to_string(i % kColumns) + "," + std::to_string(i / kColumns) + ") " +
               Hex(before.attributes[i], 4) + "->" + Hex(after.attributes[i], 4);
        if (before.characters[i] != after.characters[i])
            out += " character changed";
        out += " ";
    }
    if (more)
        out += "and " + std::to_string(more) + " more";
    return out.empty() ? "none" : out;
}

std::string Describe(const ConsoleView& v, const std::string& changes, bool consoleOpened, int result)
{
    std::ostringstream out;
    out << "result " << result << "\n";
    out << "record code " << Hex((uint32_t)v.code) << ", key name "
        << (v.hasName ? Quoted(v.keyName) : "(none)") << "\n";
    out << "cells changed: " << changes << "\n";
    out << "window " << v.window.Left << "," << v.window.Top << " .. " << v.window.Right << ","
        << v.window.Bottom << "\n";
    out << "beeps";
    for (UINT b : v.beeps)
        out << " MessageBeep(" << b << ")";
    out << ", re-arm timers pending " << v.timers << ", beepArmed " << v.beepArmed << "\n";
    out << "console opened " << (consoleOpened ? "yes" : "no") << "\n";
    return out.str();
}

enum class Nav {
    Tagged,           // column 0 of the row carries the marker bit, its colours as they were
    Untagged,         // the console is exactly as it was
    Moved,            // the window's top row is the given row, width and height kept; key consumed; silent
    Beeped,           // key consumed, window unchanged; one MessageBeep(0), the re-arm timer pending, disarmed
    BeepedRearmed,    // as Beeped, but no timer was set, so the beep is armed again at once
    BeepUnheard,      // as Beeped, but no beep could be heard
    NotAHotkey,       // the record passes unchanged and the console is never opened
    Rearmed,          // the pending re-arm timer is gone and the beep armed
    RearmedTimerLeft, // armed, but the timer the failed KillTimer should have stopped is still there
};

struct NavOutcome {
    Nav kind;
    int row;
};

NavOutcome Tagged(int row)
{
    return {Nav::Tagged, row};
}

NavOutcome MovedTo(int top)
{
    return {Nav::Moved, top};
}

const NavOutcome Untagged = {Nav::Untagged, -1};
const NavOutcome Beeped = {Nav::Beeped, -1};
const NavOutcome BeepedRearmed = {Nav::BeepedRearmed, -1};
const NavOutcome BeepUnheard = {Nav::BeepUnheard, -1};
const NavOutcome NotAHotkey = {Nav::NotAHotkey, -1};
const NavOutcome Rearmed = {Nav::Rearmed, -1};
const NavOutcome RearmedTimerLeft = {Nav::RearmedTimerLeft, -1};

void Consume(ConsoleView* v)
{
    v->code = 0;
    if (Startup.useExtendedKeys && v->hasName)
        v->keyName.clear();
}

std::string ExpectNavigation(const NavOutcome& outcome)
{
    gBefore = Capture();
    ConsoleView v = gBefore;
    std::string changes = "none";
    bool opened = true;
    switch (outcome.kind) {
    case Nav::Tagged: {
        WORD old = standin::Attribute(0, outcome.row);
        changes = "(0," + std::to_string(outcome.row) + ") " + Hex(old, 4) + "->" +
                  Hex((WORD)(old | Startup.markerAttribute), 4) + " ";
        break;
    }
    case Nav::Untagged:
        break;
    case Nav::Moved: {
        SMALL_RECT w = gBefore.window;
        v.window = {0, (SHORT)outcome.row, (SHORT)(w.Right - w.Left),
                    (SHORT)(outcome.row + w.Bottom - w.Top)};
        Consume(&v);
        break;
    }
    case Nav::Beeped:
        Consume(&v);
        v.beeps.push_back(MB_OK);
        v.timers += 1;
        v.beepArmed = 0;
        break;
    case Nav::BeepedRearmed:
        Consume(&v);
        v.beeps.push_back(MB_OK);
        v.beepArmed = 1;
        break;
    case Nav::BeepUnheard:
        Consume(&v);
        v.timers += 1;
        v.beepArmed = 0;
        break;
    case Nav::NotAHotkey:
        opened = false;
        break;
    case Nav::Rearmed:
        opened = false;
        v.timers -= 1;
        v.beepArmed = 1;
        break;
    case Nav::RearmedTimerLeft:
        opened = false;
        v.beepArmed = 1;
        break;
    }
    return Describe(v, changes, opened, 0);
}

std::string ObserveNavigation()
{
    ConsoleView after = Capture();
    bool opened = standin::CallCount(Api::CreateFileW) > 0;
    return Describe(after, CellChanges(gBefore, after), opened, gResult);
}

void Console(bool tags)
{
    standin::SetConsole(kColumns, kRows);
    if (tags) {
        for (int row : kTags)
            standin::SetAttribute(0, row, (WORD)(0x07 | Startup.markerAttribute));
    }
    standin::SetWindow({0, kTop, kColumns - 1, kTop + 29});
    standin::SetCursor({3, kCursorRow});
}

void Hold(bool shift, bool ctrl, bool alt)
{
    standin::SetKeyHeld(VK_SHIFT, shift);
    standin::SetKeyHeld(VK_CONTROL, ctrl);
    standin::SetKeyHeld(VK_MENU, alt);
}

// context non-zero, so an event without a key under the newer host is not
// taken for a cursor tag by accident.
void Event(KeyCode code, int row, const char16_t* name)
{
    gEvent = KeyEventRecord{};
    gEvent.code = code;
    gEvent.row = row;
    gEvent.context = &gEvent;
    gEvent.keyName = nullptr;
    if (name) {
        Text(name).copy(gKeyName, 31);
        gKeyName[Text(name).size()] = 0;
        gEvent.keyName = gKeyName;
    }
}

void NewerHost()
{
    Startup.hostVersion = 24;
    Startup.useExtendedKeys = 1;
}

void PressKey()
{
    gResult = key(&gEvent);
}

// A back press with no tag anywhere: the beep sounds and its timer is pending.
void AfterAFailedPress()
{
    Console(false);
    Hold(false, true, true);
    Event(CtrlUp, 0, nullptr);
    key(&gEvent);
    gResult = 0;
}

std::vector<Scenario<NavOutcome>> NavigationScenarios()
{
    return {
        {"EnterTagsTheLinesRow",
         [] {
             Console(true);
             Event(13, kLineRow, nullptr);
         }, PressKey, Tagged(kLineRow),
         {
             {Api::CreateFileW, 0, Untagged},
             {Api::ReadConsoleOutputW, 0, Untagged},
             // Its result is not examined: the write simply did not happen.
             {Api::WriteConsoleOutputAttribute, 0, Untagged},
             {Api::CloseHandle, 0, Tagged(kLineRow)},
         }},
        {"KeylessEventTagsTheCursorRow",
         [] {
             Console(true);
             Event(0, kLineRow, nullptr);
         }, PressKey, Tagged(kCursorRow),
         {
             {Api::CreateFileW, 0, Untagged}, // either open: the cursor read's or the tag's
             {Api::GetConsoleScreenBufferInfo, 0, Untagged},
             {Api::CloseHandle, 0, Tagged(kCursorRow)},
             {Api::ReadConsoleOutputW, 0, Untagged},
             {Api::WriteConsoleOutputAttribute, 0, Untagged},
         }},
        {"NewerHostEnterByNameTagsTheLinesRow",
         [] {
             Console(true);
             NewerHost();
             Event(0, kLineRow, u"enter");
         }, PressKey, Tagged(kLineRow),
         {
             {Api::CreateFileW, 0, Untagged},
             {Api::ReadConsoleOutputW, 0, Untagged},
             {Api::WriteConsoleOutputAttribute, 0, Untagged},
             {Api::CloseHandle, 0, Tagged(kLineRow)},
         }},
        {"BackHotkeyMovesTheWindow",
         [] {
             Console(true);
             Hold(false, true, true);
             Event(CtrlUp, 0, nullptr);
         }, PressKey, MovedTo(600),
         {
             // Shift, Ctrl, Alt are read in that order. Shift is not held, so a
             // failed read of it says what is true anyway.
             {Api::GetAsyncKeyState, 1, MovedTo(600)},
             {Api::GetAsyncKeyState, 2, NotAHotkey},
             {Api::GetAsyncKeyState, 3, NotAHotkey},
             {Api::CreateFileW, 0, Beeped},
             {Api::GetConsoleScreenBufferInfo, 0, Beeped},
             {Api::ReadConsoleOutputW, 0, Beeped}, // any of the three blocks
             {Api::SetConsoleWindowInfo, 0, Beeped},
             {Api::CloseHandle, 0, MovedTo(600)},
         }},
        {"CtrlShiftHotkeyMovesForward",
         [] {
             Console(true);
             Hold(true, true, false);
             Event(CtrlDown, 0, nullptr);
             Settings.HotkeyDown = CtrlShiftDown;
         },
         PressKey, MovedTo(1100),
         {
             {Api::GetAsyncKeyState, 1, NotAHotkey},
             {Api::GetAsyncKeyState, 2, NotAHotkey},
             {Api::GetAsyncKeyState, 3, MovedTo(1100)}, // Alt is not held
             {Api::CreateFileW, 0, Beeped},
             {Api::GetConsoleScreenBufferInfo, 0, Beeped},
             {Api::ReadConsoleOutputW, 0, Beeped},
             {Api::SetConsoleWindowInfo, 0, Beeped},
             {Api::CloseHandle, 0, MovedTo(1100)},
         }},
        // The name carries the modifiers, so the live state cannot take them away.
        {"NewerHostHotkeyByNameMovesForward",
         [] {
             Console(true);
             NewerHost();
             Event(0, 0, u"Ctrl-Alt-Down"); // no modifier held
         },
         PressKey, MovedTo(1100),
         {
             {Api::GetAsyncKeyState, 0, MovedTo(1100)},
             {Api::CreateFileW, 0, Beeped},
             {Api::GetConsoleScreenBufferInfo, 0, Beeped},
             {Api::ReadConsoleOutputW, 0, Beeped},
             {Api::SetConsoleWindowInfo, 0, Beeped},
             {Api::CloseHandle, 0, MovedTo(1100)},
         }},
        {"HotkeyWithNowhereToGoBeeps",
         [] {
             Console(false);
             Hold(false, true, true);
             Event(CtrlUp, 0, nullptr);
         }, PressKey, Beeped,
         {
             {Api::GetAsyncKeyState, 1, Beeped},
             {Api::GetAsyncKeyState, 2, NotAHotkey},
             {Api::GetAsyncKeyState, 3, NotAHotkey},
             {Api::CreateFileW, 0, Beeped},
             {Api::GetConsoleScreenBufferInfo, 0, Beeped},
             {Api::ReadConsoleOutputW, 0, Beeped},
             {Api::CloseHandle, 0, Beeped},
             // Without a timer nothing would ever re-arm the beep.
             {Api::SetTimer, 0, BeepedRearmed},
             {Api::MessageBeep, 0, BeepUnheard},
         }},
        {"BeepTimerRearms", AfterAFailedPress, [] { standin::FireTimers(); }, Rearmed,
         {
             // Its result is not examined; the beep is armed all the same.
             {Api::KillTimer, 0, RearmedTimerLeft},
         }},
        {"ShutdownCancelsThePendingBeep", AfterAFailedPress, [] { gResult = ShutdownPlugin(FALSE); },
         Rearmed,
         {
             {Api::KillTimer, 0, RearmedTimerLeft},
         }},
    };
}

class NavigationFaults : public ::testing::TestWithParam<Scenario<NavOutcome>> {};

TEST_P(NavigationFaults, EveryFailedCallEndsAsListed)
{
    Sweep(GetParam(), Judge<NavOutcome>{ExpectNavigation, ObserveNavigation});
}

template <typename Outcome>
std::string ScenarioName(const ::testing::TestParamInfo<Scenario<Outcome>>& info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Sweep, NavigationFaults, ::testing::ValuesIn(NavigationScenarios()),
                         ScenarioName<NavOutcome>);

// ---- start-up ------------------------------------------------------------------

const Text kKeyPath = u"Software\\Kelderin\\Mirvane";

struct SavedSet {
    const char16_t* up; // key names of the newer host, which the host stand-in reports
    const char16_t* down;
    DWORD wrap;
    DWORD sound;
};

const SavedSet kDefaultSet = {u"Ctrl-Alt-Up", u"Ctrl-Alt-Down", 1, 1};
const SavedSet kUserSet = {u"Ctrl-Shift-Up", u"Ctrl-Shift-Down", 0, 0};
const SavedSet kMachineSet = {u"Ctrl-PgUp", u"Ctrl-PgDn", 0, 0};

KeyCode ExtendedCode(const char16_t* name)
{
    int32_t was = Startup.useExtendedKeys;
    Startup.useExtendedKeys = 1;
    KeyCode code = KeyNameToCode(name);
    Startup.useExtendedKeys = was;
    return code;
}

void Save(HKEY root, const SavedSet& set)
{
    standin::SetRegistryDword(root, kKeyPath, u"HotkeyUp", (DWORD)ExtendedCode(set.up));
    standin::SetRegistryDword(root, kKeyPath, u"HotkeyDown", (DWORD)ExtendedCode(set.down));
    standin::SetRegistryDword(root, kKeyPath, u"Wrap", set.wrap);
    standin::SetRegistryDword(root, kKeyPath, u"ErrorSound", set.sound);
}

enum Forced { NothingForced, WrapForcedOn, SoundForcedOn };

struct StartupOutcome {
    const SavedSet* set;
    Forced forced; // a switch whose read failed counts as on
    WORD marker;
    bool printed;
};

std::string DescribeStartup(int result, const Text& up, const Text& down, int32_t wrap, int32_t sound,
                            WORD marker, const Text& out, const Text& err)
{
    std::ostringstream s;
    s << "result " << result << "\n";
    s << "HotkeyUp " << Narrow(up) << ", HotkeyDown " << Narrow(down) << ", Wrap " << wrap
      << ", ErrorSound " << sound << "\n";
    s << "markerAttribute " << Hex(marker, 4) << "\n";
    s << "stdout " << Quoted(out) << "\n";
    s << "stderr " << Quoted(err) << "\n";
    return s.str();
}

std::string ExpectStartup(const StartupOutcome& o)
{
    int32_t wrap = o.forced == WrapForcedOn ? 1 : (int32_t)o.set->wrap;
    int32_t sound = o.forced == SoundForcedOn ? 1 : (int32_t)o.set->sound;
    Text message;
    if (o.printed) {
        message = u"Mirvane v1.0.1 loaded.  Back: " + Text(o.set->up) + u", forward: " +
                  Text(o.set->down) + u".\r\n";
    }
    return DescribeStartup(0, o.set->up, o.set->down, wrap, sound, o.marker, message, u"");
}

int gStartResult;

std::string ObserveStartup()
{
    WCHAR up[TextBufferLength];
    WCHAR down[TextBufferLength];
    KeyCodeToName(Settings.HotkeyUp, up, TextBufferLength);
    KeyCodeToName(Settings.HotkeyDown, down, TextBufferLength);
    return DescribeStartup(gStartResult, up, down, Settings.Wrap, Settings.ErrorSound,
                           Startup.markerAttribute, HostStdoutText(), HostStderrText());
}

void Start()
{
    gStartResult = InitializePlugin();
}

constexpr WORD kNewMarker = MarkerAttributeModern;
constexpr WORD kOldMarker = MarkerAttributeClassic;

std::vector<Scenario<StartupOutcome>> StartupScenarios()
{
    const StartupOutcome user = {&kUserSet, NothingForced, kNewMarker, true};
    const StartupOutcome machineSilent = {&kMachineSet, NothingForced, kNewMarker, false};
    return {
        // Windows 10.0.19041 through RtlGetVersion; GetVersionExW would say 6.1.
        {"UserRootLoadedAndAnnounced",
         [] {
             standin::SetRtlGetVersion(true, 10, 0, 19041);
             Save(HKEY_CURRENT_USER, kUserSet);
             Save(HKEY_LOCAL_MACHINE, kMachineSet);
         },
         Start, user,
         {
             {Api::GetEnvironmentVariableW, 0, user}, // not set either way
             {Api::GetModuleHandleW, 0, {&kUserSet, NothingForced, kOldMarker, true}},
             {Api::GetProcAddress, 0, {&kUserSet, NothingForced, kOldMarker, true}},
             {Api::RtlGetVersion, 0, {&kUserSet, NothingForced, kOldMarker, true}},
             {Api::RegOpenKeyExW, 0, {&kMachineSet, NothingForced, kNewMarker, true}},
             {Api::RegQueryValueExW, 1, {&kMachineSet, NothingForced, kNewMarker, true}},
             {Api::RegQueryValueExW, 2, {&kMachineSet, NothingForced, kNewMarker, true}},
             {Api::RegQueryValueExW, 3, {&kUserSet, WrapForcedOn, kNewMarker, true}},
             {Api::RegQueryValueExW, 4, {&kUserSet, SoundForcedOn, kNewMarker, true}},
             {Api::RegCloseKey, 0, user},
         }},
        // RtlGetVersion reports 5.1, so GetVersionExW's 10.0.22000 decides; the
        // user root holds half a set, so the machine root is read; NoLoadMsg set.
        {"MachineRootLoadedSilently",
         [] {
             standin::SetRtlGetVersion(true, 5, 1, 2600);
             standin::SetGetVersionEx(true, 10, 0, 22000);
             standin::SetEnvironment(u"NoLoadMsg", u"1");
             standin::SetRegistryDword(HKEY_CURRENT_USER, kKeyPath, u"HotkeyUp",
                                       (DWORD)ExtendedCode(kUserSet.up));
             Save(HKEY_LOCAL_MACHINE, kMachineSet);
         },
         Start, machineSilent,
         {
             {Api::GetEnvironmentVariableW, 0, {&kMachineSet, NothingForced, kNewMarker, true}},
             {Api::GetModuleHandleW, 0, machineSilent},
             {Api::GetProcAddress, 0, machineSilent},
             {Api::RtlGetVersion, 0, machineSilent},
             {Api::GetVersionExW, 0, {&kMachineSet, NothingForced, kOldMarker, false}},
             {Api::RegOpenKeyExW, 1, machineSilent},
             {Api::RegOpenKeyExW, 2, {&kDefaultSet, NothingForced, kNewMarker, false}},
             {Api::RegQueryValueExW, 1, machineSilent}, // the user root is rejected anyway
             {Api::RegQueryValueExW, 2, machineSilent},
             {Api::RegQueryValueExW, 3, machineSilent},
             {Api::RegQueryValueExW, 4, machineSilent},
             {Api::RegQueryValueExW, 5, {&kDefaultSet, NothingForced, kNewMarker, false}},
             {Api::RegQueryValueExW, 6, {&kDefaultSet, NothingForced, kNewMarker, false}},
             {Api::RegQueryValueExW, 7, {&kMachineSet, WrapForcedOn, kNewMarker, false}},
             {Api::RegQueryValueExW, 8, {&kMachineSet, SoundForcedOn, kNewMarker, false}},
             {Api::RegCloseKey, 0, machineSilent},
         }},
    };
}

class StartupFaults : public ::testing::TestWithParam<Scenario<StartupOutcome>> {};

TEST_P(StartupFaults, EveryFailedCallEndsAsListed)
{
    Sweep(GetParam(), Judge<StartupOutcome>{ExpectStartup, ObserveStartup});
}

INSTANTIATE_TEST_SUITE_P(Sweep, StartupFaults, ::testing::ValuesIn(StartupScenarios()),
                         ScenarioName<StartupOutcome>);

// ---- the command ---------------------------------------------------------------

// Codes of the older host, which the command runs under here.
enum : KeyCode {
    ClassicCtrlUp = 0x1008D,
    ClassicCtrlDown = 0x10091,
    ClassicCtrlPgUp = 0x10084,
    ClassicCtrlHome = 0x10077,
};

struct Values {
    KeyCode up;
    KeyCode down;
    int32_t wrap;
    int32_t sound;
};

const Values kDefaults = {DefaultSettings.HotkeyUp, DefaultSettings.HotkeyDown, 1, 1};
const Values kUserSaved = {ClassicCtrlUp, ClassicCtrlDown, 0, 0};
const Values kMachineSaved = {ClassicCtrlPgUp, ClassicCtrlHome, 0, 0};

const char16_t* const kValueNames[] = {u"HotkeyUp", u"HotkeyDown", u"Wrap", u"ErrorSound"};

std::string KeyText(const std::optional<DWORD> (&values)[4])
{
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += Narrow(kValueNames[i]) + "=" + (values[i] ? Hex(*values[i]) : "absent") + " ";
    return out;
}

std::string StoredKey(HKEY root)
{
    if (!standin::RegistryKeyExists(root, kKeyPath))
        return "no key";
    std::optional<DWORD> values[4];
    for (int i = 0; i < 4; ++i) {
        auto data = standin::RegistryValue(root, kKeyPath, kValueNames[i]);
        if (!data)
            continue;
        DWORD d = 0;
        for (size_t b = 0; b < data->data.size() && b < 4; ++b)
            d |= (DWORD)data->data[b] << (8 * b);
        values[i] = data->type == REG_DWORD && data->data.size() == 4 ? d : 0xBAD0BAD0u;
    }
    return KeyText(values);
}

// The key as SaveSettings leaves it after writing v, one value's write refused.
std::string KeyHolding(const Values& v, const char16_t* refused = nullptr)
{
    std::optional<DWORD> values[4] = {(DWORD)v.up, (DWORD)v.down, (DWORD)v.wrap, (DWORD)v.sound};
    for (int i = 0; i < 4; ++i) {
        if (refused && Text(refused) == kValueNames[i])
            values[i] = std::nullopt;
    }
    return KeyText(values);
}

Text ClassicName(KeyCode code)
{
    static const struct {
        KeyCode code;
        const char16_t* name;
    } kNames[] = {
        {DefaultSettings.HotkeyUp, u"Ctrl-Alt-Up"}, {DefaultSettings.HotkeyDown, u"Ctrl-Alt-Down"},
        {ClassicCtrlUp, u"Ctrl-Up"},       {ClassicCtrlDown, u"Ctrl-Down"},
        {ClassicCtrlPgUp, u"Ctrl-PgUp"},   {ClassicCtrlHome, u"Ctrl-Home"},
    };
    for (const auto& entry : kNames) {
        if (entry.code == code)
            return entry.name;
    }
    return u"(a code this file does not name)";
}

// The settings report the command prints for v.
Text Report(const Values& v)
{
    return u"\r\nMirvane v1.0.1 options:\r\n\n"
           u"    Back hotkey  . . . . . . . /B: " + ClassicName(v.up) + u"\r\n"
           u"    Forward hotkey . . . . . . /F: " + ClassicName(v.down) + u"\r\n"
           u"    Error sound  . . . . . . . /E: " + (v.sound ? u"Yes" : u"No") + u"\r\n"
           u"    Wrap . . . . . . . . . . . /W: " + (v.wrap ? u"Yes" : u"No") + u"\r\n";
}

const Text kPrefix = u"Mirvane plugin: ";

struct CommandOutcome {
    int result;
    Text out;
    Text err;       // through the standard error handle
    Text elsewhere; // through a handle that is not a standard one
    Values settings;
    std::optional<std::string> userKey; // none: as it was before the command
};

std::string gUserKeyBefore;
std::string gMachineKeyBefore;
int gCommandResult;
WCHAR gArguments[256];

std::string DescribeCommand(int result, const Text& out, const Text& err, const Text& elsewhere,
                            const Values& v, const std::string& userKey, const std::string& machineKey)
{
    std::ostringstream s;
    s << "result " << result << "\n";
    s << "stdout " << Quoted(out) << "\n";
    s << "stderr " << Quoted(err) << "\n";
    s << "other handle " << Quoted(elsewhere) << "\n";
    s << "settings up " << Hex((uint32_t)v.up) << ", down " << Hex((uint32_t)v.down) << ", wrap "
      << v.wrap << ", sound " << v.sound << "\n";
    s << "HKCU " << userKey << "\n";
    s << "HKLM " << machineKey << "\n";
    return s.str();
}

std::string ExpectCommand(const CommandOutcome& o)
{
    gUserKeyBefore = StoredKey(HKEY_CURRENT_USER);
    gMachineKeyBefore = StoredKey(HKEY_LOCAL_MACHINE);
    return DescribeCommand(o.result, o.out, o.err, o.elsewhere, o.settings,
                           o.userKey.value_or(gUserKeyBefore), gMachineKeyBefore);
}

std::string ObserveCommand()
{
    Values v = {Settings.HotkeyUp, Settings.HotkeyDown, Settings.Wrap, Settings.ErrorSound};
    return DescribeCommand(gCommandResult, HostOutput(HostStdout), HostOutput(HostStderr),
                           HostOutput(HostOtherHandle), v, StoredKey(HKEY_CURRENT_USER),
                           StoredKey(HKEY_LOCAL_MACHINE));
}

std::function<void()> Command(const char16_t* arguments)
{
    return [arguments] {
        Text(arguments).copy(gArguments, 255);
        gArguments[Text(arguments).size()] = 0;
        gCommandResult = mirvane(gArguments);
    };
}

void Store(HKEY root, const Values& v)
{
    standin::SetRegistryDword(root, kKeyPath, u"HotkeyUp", (DWORD)v.up);
    standin::SetRegistryDword(root, kKeyPath, u"HotkeyDown", (DWORD)v.down);
    standin::SetRegistryDword(root, kKeyPath, u"Wrap", (DWORD)v.wrap);
    standin::SetRegistryDword(root, kKeyPath, u"ErrorSound", (DWORD)v.sound);
}

Text SaveErrorHeading(const Text& root)
{
    return u"Error saving settings to the registry (" + root + u") :\r\n";
}

// The host stand-in asks GetStdHandle itself, once per error write, to tell
// the standard error handle from the others; that call comes right after the
// plug-in's own. A failure of either sends that one write to no standard
// handle, so the rows below come in pairs.
std::vector<Scenario<CommandOutcome>> CommandScenarios()
{
    const Values applied = {ClassicCtrlPgUp, DefaultSettings.HotkeyDown, 0, 1};
    const Text appliedReport = Report(applied);
    const Text defaultReport = Report(kDefaults);
    const Text denied = u"Access is denied.\r\n";
    const Text heading = SaveErrorHeading(u"HKCU");
    const Text saveError = kPrefix + heading + denied;
    // The settings stay applied in memory whatever the registry does.
    auto savedWithout = [=](const char16_t* refused) {
        return CommandOutcome{2, appliedReport + u"\r\n", saveError, u"", applied,
                              KeyHolding(applied, refused)};
    };

    const CommandOutcome saved = {0, appliedReport + u"\r\nSettings saved to the registry (HKCU).\r\n",
                                  u"", u"", applied, KeyHolding(applied)};
    // The three error writes of a refused save, with one of them sent to no standard handle.
    auto refusedWith = [=](const Text& err, const Text& elsewhere) {
        return CommandOutcome{2, defaultReport + u"\r\n", err, elsewhere, kDefaults, "no key"};
    };
    const CommandOutcome refused = refusedWith(saveError, u"");

    const Text badValue = u"Expected a Y or N: \"/W:MAYBE\"\r\n";
    auto rejectedWith = [](const Text& err, const Text& elsewhere) {
        return CommandOutcome{1, u"", err, elsewhere, kDefaults, std::nullopt};
    };
    const CommandOutcome rejected = rejectedWith(kPrefix + badValue, u"");

    auto restored = [](const Text& root, const Values& v) {
        return CommandOutcome{0, u"Settings restored from the registry (" + root + u").\r\n" + Report(v),
                              u"", u"", v, std::nullopt};
    };
    auto on = [](Values v, int32_t Values::*field) {
        v.*field = 1;
        return v;
    };
    const CommandOutcome notFound = {0, u"Settings not found in the registry.\r\n" + defaultReport, u"", u"",
                                     kDefaults, std::nullopt};
    const CommandOutcome fromUser = restored(u"HKCU", kUserSaved);
    const CommandOutcome fromMachine = restored(u"HKLM", kMachineSaved);

    return {
        {"SaveWritesAllFourValues", [] {}, Command(u"/B:Ctrl-PgUp /W:N /S"), saved,
         {
             {Api::RegCreateKeyExW, 0, {2, appliedReport + u"\r\n", saveError, u"", applied, "no key"}},
             {Api::RegSetValueExW, 1, savedWithout(u"HotkeyUp")},
             {Api::RegSetValueExW, 2, savedWithout(u"HotkeyDown")},
             {Api::RegSetValueExW, 3, savedWithout(u"Wrap")},
             {Api::RegSetValueExW, 4, savedWithout(u"ErrorSound")},
             {Api::RegCloseKey, 0, saved}, // its result is not examined
         }},
        {"RefusedSaveReportsTheSystemText", [] { standin::DenyRegistryAccess(HKEY_CURRENT_USER); },
         Command(u"/S"), refused,
         {
             {Api::RegCreateKeyExW, 0, refused},
             {Api::FormatMessageW, 0, refusedWith(kPrefix + heading + u"Error 5\r\n", u"")},
             {Api::GetStdHandle, 1, refusedWith(heading + denied, kPrefix)},
             {Api::GetStdHandle, 2, refusedWith(heading + denied, kPrefix)},
             {Api::GetStdHandle, 3, refusedWith(kPrefix + denied, heading)},
             {Api::GetStdHandle, 4, refusedWith(kPrefix + denied, heading)},
             {Api::GetStdHandle, 5, refusedWith(kPrefix + heading, denied)},
             {Api::GetStdHandle, 6, refusedWith(kPrefix + heading, denied)},
         }},
        {"BadValueIsReportedAndNothingApplied", [] {}, Command(u"/B:Ctrl-Up /W:maybe"), rejected,
         {
             {Api::GetStdHandle, 1, rejectedWith(badValue, kPrefix)},
             {Api::GetStdHandle, 2, rejectedWith(badValue, kPrefix)},
             {Api::GetStdHandle, 3, rejectedWith(kPrefix, badValue)},
             {Api::GetStdHandle, 4, rejectedWith(kPrefix, badValue)},
         }},
        {"RestoreFromTheUserRoot", [] { Store(HKEY_CURRENT_USER, kUserSaved); }, Command(u"/R"), fromUser,
         {
             {Api::RegOpenKeyExW, 0, notFound}, // the machine root has no key
             {Api::RegQueryValueExW, 1, notFound},
             {Api::RegQueryValueExW, 2, notFound},
             {Api::RegQueryValueExW, 3, restored(u"HKCU", on(kUserSaved, &Values::wrap))},
             {Api::RegQueryValueExW, 4, restored(u"HKCU", on(kUserSaved, &Values::sound))},
             {Api::RegCloseKey, 0, fromUser},
         }},
        {"RestoreFallsBackToTheMachineRoot",
         [] {
             Store(HKEY_CURRENT_USER, kUserSaved);
             Store(HKEY_LOCAL_MACHINE, kMachineSaved);
         },
         Command(u"/R"), fromUser,
         {
             {Api::RegOpenKeyExW, 0, fromMachine},
             {Api::RegQueryValueExW, 1, fromMachine},
             {Api::RegQueryValueExW, 2, fromMachine},
             {Api::RegQueryValueExW, 3, restored(u"HKCU", on(kUserSaved, &Values::wrap))},
             {Api::RegQueryValueExW, 4, restored(u"HKCU", on(kUserSaved, &Values::sound))},
             {Api::RegCloseKey, 0, fromUser},
         }},
        {"RestoreFromTheMachineRoot",
         [] {
             standin::SetRegistryDword(HKEY_CURRENT_USER, kKeyPath, u"HotkeyUp", (DWORD)ClassicCtrlUp);
             Store(HKEY_LOCAL_MACHINE, kMachineSaved);
         },
         Command(u"/R"), fromMachine,
         {
             {Api::RegOpenKeyExW, 1, fromMachine},
             {Api::RegOpenKeyExW, 2, notFound},
             {Api::RegQueryValueExW, 1, fromMachine},
             {Api::RegQueryValueExW, 2, fromMachine},
             {Api::RegQueryValueExW, 3, fromMachine},
             {Api::RegQueryValueExW, 4, fromMachine},
             {Api::RegQueryValueExW, 5, notFound},
             {Api::RegQueryValueExW, 6, notFound},
             {Api::RegQueryValueExW, 7, restored(u"HKLM", on(kMachineSaved, &Values::wrap))},
             {Api::RegQueryValueExW, 8, restored(u"HKLM", on(kMachineSaved, &Values::sound))},
             {Api::RegCloseKey, 0, fromMachine},
         }},
    };
}

class CommandFaults : public ::testing::TestWithParam<Scenario<CommandOutcome>> {};

TEST_P(CommandFaults, EveryFailedCallEndsAsListed)
{
    Sweep(GetParam(), Judge<CommandOutcome>{ExpectCommand, ObserveCommand});
}

INSTANTIATE_TEST_SUITE_P(Sweep, CommandFaults, ::testing::ValuesIn(CommandScenarios()),
                         ScenarioName<CommandOutcome>);

} // namespace
