// Every Windows call of the keystroke handler, the beep limiter, start-up and
// the command, failed one at a time. A scenario runs once without faults to
// learn its calls and its outcome; then once per call with exactly that call
// failing. After each failure the rules that hold for every call are
// checked: nothing crashes (this file runs under the sanitizers too),
// nothing stays open, the settings are unchanged or a complete valid set,
// and the outcome is the unfailed one or one of the few degraded outcomes
// the scenario lists. Only where the code decides something about one call
// is the outcome of failing that call pinned; so reordering two independent
// calls changes nothing here.
#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "host/exports.h"
#include "hotkeys/key_names.h"
#include "hotkeys/key_tables.h"
#include "plugin/text.h"
#include "test_support.h"

using standin::Api;

namespace {

typedef std::u16string Text;

// ---- the sweep ------------------------------------------------------------------------

// An outcome, judged from the state before the run, the unfailed run's
// result and the failed run's result.
template <typename State>
struct Outcome {
    const char* name;
    std::function<bool(const State& before, const State& unfailed, const State& after)> holds;
};

template <typename State>
struct Pin {
    Api api;
    Outcome<State> outcome;
};

template <typename State>
struct Scenario {
    std::string name;
    std::function<void()> setUp; // in a fresh process, before the calls are logged
    std::function<void()> run;
    std::vector<Outcome<State>> degraded;
    std::vector<Pin<State>> pins;
};

template <typename State>
void PrintTo(const Scenario<State>& s, std::ostream* os)
{
    *os << s.name;
}

template <typename State>
std::string ScenarioName(const ::testing::TestParamInfo<Scenario<State>>& info)
{
    return info.param.name;
}

template <typename State>
Outcome<State> Unfailed()
{
    return {"as without a fault", [](const State&, const State& unfailed, const State& after) {
                return after == unfailed;
            }};
}

bool IsCompleteValidSet(const UserSettings& s)
{
    return IsValidHotkey(s.HotkeyUp) && IsValidHotkey(s.HotkeyDown) && (s.Wrap == 0 || s.Wrap == 1) &&
           (s.ErrorSound == 0 || s.ErrorSound == 1) && (s.CopyHotkey == 0 || IsValidHotkey(s.CopyHotkey)) &&
           (s.TypedFilter == 0 || s.TypedFilter == 1) && s.TerminalMarks >= MarksAuto && s.TerminalMarks <= MarksNo;
}

bool SameSettings(const UserSettings& a, const UserSettings& b)
{
    return a.HotkeyUp == b.HotkeyUp && a.HotkeyDown == b.HotkeyDown && a.Wrap == b.Wrap &&
           a.ErrorSound == b.ErrorSound && a.CopyHotkey == b.CopyHotkey && a.TypedFilter == b.TypedFilter &&
           a.TerminalMarks == b.TerminalMarks;
}

template <typename State>
struct Run {
    State before;
    State after;
    std::vector<Api> calls;
};

// One run of the scenario with call number failNumber failing (0: none),
// checked against the rules that hold for every call.
template <typename State>
Run<State> RunOnce(const Scenario<State>& s, State (*observe)(), int failNumber, const std::string& context)
{
    FreshProcess();
    s.setUp();
    Run<State> run;
    run.before = observe();
    UserSettings settingsBefore = Settings;
    standin::ClearCallLog();
    if (failNumber > 0)
        standin::FailCallNumber(failNumber);
    s.run();
    run.calls = standin::CallLog();
    run.after = observe();
    EXPECT_EQ(standin::OpenConsoleHandles(), 0) << context << ": a console handle stayed open";
    EXPECT_EQ(standin::OpenRegistryKeys(), 0) << context << ": a registry key stayed open";
    EXPECT_FALSE(standin::ClipboardIsOpen()) << context << ": the clipboard stayed open";
    EXPECT_EQ(standin::LiveGlobalBlocks(), 0) << context << ": a memory block leaked";
    EXPECT_EQ(standin::WrongGlobalFrees(), 0) << context << ": a block was freed that was not the plug-in's";
    EXPECT_TRUE(SameSettings(Settings, settingsBefore) || IsCompleteValidSet(Settings))
        << context << ": the settings are neither as they were nor a complete valid set";
    return run;
}

template <typename State>
void Sweep(const Scenario<State>& s, State (*observe)())
{
    const Run<State> unfailed = RunOnce(s, observe, 0, s.name + ", no call failing");
    ASSERT_FALSE(unfailed.calls.empty()) << s.name << " makes no Windows call";

    for (const Pin<State>& pin : s.pins) {
        EXPECT_NE(std::find(unfailed.calls.begin(), unfailed.calls.end(), pin.api), unfailed.calls.end())
            << s.name << ": " << standin::ApiName(pin.api) << " is pinned but never called";
    }
    for (size_t i = 0; i < unfailed.calls.size(); ++i) {
        const Api api = unfailed.calls[i];
        const std::string context = s.name + ", call " + std::to_string(i + 1) + " (" + standin::ApiName(api) +
                                    ") failing";
        const Run<State> failed = RunOnce(s, observe, (int)i + 1, context);

        // A failure can only change what comes after it.
        EXPECT_TRUE(failed.calls.size() > i &&
                    std::equal(unfailed.calls.begin(), unfailed.calls.begin() + (long)i + 1, failed.calls.begin()))
            << context << ": the calls up to the failing one differ from the run without faults";

        std::vector<Outcome<State>> allowed = {Unfailed<State>()};
        allowed.insert(allowed.end(), s.degraded.begin(), s.degraded.end());
        for (const Pin<State>& pin : s.pins) {
            if (pin.api == api)
                allowed = {pin.outcome};
        }
        bool holds = std::any_of(allowed.begin(), allowed.end(), [&](const Outcome<State>& o) {
            return o.holds(failed.before, unfailed.after, failed.after);
        });
        std::string names;
        for (const Outcome<State>& o : allowed)
            names += std::string(names.empty() ? "" : "; ") + o.name;
        EXPECT_TRUE(holds) << context << ": none of these holds: " << names << "\nit ended as:\n"
                           << Describe(failed.after) << "without a fault:\n"
                           << Describe(unfailed.after);
    }
}

std::string Hex(uint32_t value)
{
    std::ostringstream out;
    out << "0x" << std::uppercase << std::hex << value;
    return out.str();
}

std::string Quoted(const Text& text)
{
    return "\"" + Printable(text) + "\"";
}

// ---- the keystroke handler and the beep limiter -------------------------------------------

// Three blocks of column 0 (512, 512 and 176 rows), tags before, inside and
// after the middle one, and a window between the second and the third.
const int Tags[] = {50, 600, 1100};
const int LineRow = 20;
const int CursorRow = 7;

KeyEventRecord event;
WCHAR keyName[32];

struct ConsoleState {
    std::vector<WORD> columnZero;
    SMALL_RECT window;
    int32_t code;
    Text keyName;
    size_t beeps;
    size_t timers;
    bool armed;
    std::optional<Text> clipboard;
    bool staleBytes; // in the clipboard's block past the text's terminator
    bool inputStartKnown;
    size_t marks; // OSC sequences the terminal received
    DWORD mode;

    bool operator==(const ConsoleState& o) const
    {
        return columnZero == o.columnZero && window.Left == o.window.Left && window.Top == o.window.Top &&
               window.Right == o.window.Right && window.Bottom == o.window.Bottom && code == o.code &&
               keyName == o.keyName && beeps == o.beeps && timers == o.timers && armed == o.armed &&
               clipboard == o.clipboard && staleBytes == o.staleBytes && inputStartKnown == o.inputStartKnown &&
               marks == o.marks && mode == o.mode;
    }
};

bool StaleBytesPastTheText()
{
    std::optional<std::vector<uint8_t>> block = standin::ClipboardBlock();
    std::optional<Text> text = standin::ClipboardText();
    if (!block || !text)
        return false;
    return std::any_of(block->begin() + (long)(text->size() * 2), block->end(), [](uint8_t b) { return b != 0; });
}

ConsoleState ObserveConsole()
{
    ConsoleState s;
    for (int row = 0; row < standin::BufferSize().Y; ++row)
        s.columnZero.push_back(standin::Attribute(0, row));
    s.window = standin::Window();
    s.code = event.code;
    s.keyName = event.keyName ? Text(event.keyName) : Text(u"(none)");
    s.beeps = standin::Beeps().size();
    s.timers = standin::Timers().size();
    s.armed = ErrorBeep.armed;
    s.clipboard = standin::ClipboardText();
    s.staleBytes = StaleBytesPastTheText();
    s.inputStartKnown = TypingStart.known;
    Text stream = standin::TerminalStream();
    s.marks = (size_t)std::count(stream.begin(), stream.end(), u']');
    s.mode = standin::OutputMode();
    return s;
}

std::string Describe(const ConsoleState& s)
{
    std::ostringstream out;
    out << "  tagged rows:";
    for (size_t row = 0; row < s.columnZero.size(); ++row) {
        if (s.columnZero[row] & Startup.markerAttribute)
            out << " " << row;
    }
    out << "\n  window top " << s.window.Top << ", left " << s.window.Left << "\n  record code " << Hex((uint32_t)s.code)
        << ", key name " << Quoted(s.keyName) << "\n  beeps " << s.beeps << ", timers pending " << s.timers
        << ", armed " << s.armed << "\n  clipboard " << (s.clipboard ? Quoted(*s.clipboard) : "(no text)")
        << (s.staleBytes ? ", stale bytes after it" : "") << "\n  input start "
        << (s.inputStartKnown ? "known" : "unknown") << "\n  terminal marks " << s.marks << ", output mode "
        << s.mode << "\n";
    return out.str();
}

ConsoleState Consumed(ConsoleState s)
{
    s.code = 0;
    if (Startup.useExtendedKeys && !s.keyName.empty() && s.keyName != u"(none)")
        s.keyName.clear();
    return s;
}

typedef Outcome<ConsoleState> NavOutcome;

// The hotkey was taken for an ordinary key, or the row was not tagged.
const NavOutcome NothingHappened = {
    "nothing happened", [](const ConsoleState& before, const ConsoleState&, const ConsoleState& after) {
        return after == before;
    }};

// Consumed, no move, and the error beep with its re-arm timer, or with
// parts of it missing.
NavOutcome BeepOutcome(const char* name, size_t beeps, size_t timers, bool armed)
{
    return {name, [=](const ConsoleState& before, const ConsoleState&, const ConsoleState& after) {
                ConsoleState expected = Consumed(before);
                expected.beeps += beeps;
                expected.timers += timers;
                expected.armed = armed;
                return after == expected;
            }};
}

const NavOutcome Beeped = BeepOutcome("no move and the rate-limited beep", 1, 1, false);
const NavOutcome BeepUnheard = BeepOutcome("no move, the beep unheard, its timer pending", 0, 1, false);
const NavOutcome BeepedAndArmed = BeepOutcome("no move, a beep, and the beep armed again", 1, 0, true);
// Emptied, the clipboard could not take the text after all.
const NavOutcome BeepedClipboardEmptied = {
    "the beep, and the clipboard emptied", [](const ConsoleState& before, const ConsoleState&, const ConsoleState& after) {
        ConsoleState expected = Consumed(before);
        expected.beeps += 1;
        expected.timers += 1;
        expected.armed = false;
        expected.clipboard.reset();
        return after == expected;
    }};

// The same outcome, with the line's start learnt before the failing call.
NavOutcome StartLearnt(const NavOutcome& outcome)
{
    return {outcome.name, [=](const ConsoleState& before, const ConsoleState& unfailed, const ConsoleState& after) {
                ConsoleState learnt = before;
                learnt.inputStartKnown = true;
                return outcome.holds(learnt, unfailed, after);
            }};
}

// An entered line with a terminal mark: as without a fault, but for what failed.
NavOutcome Marked(const char* name, std::function<void(ConsoleState* expected, const ConsoleState& before)> left)
{
    return {name, [=](const ConsoleState& before, const ConsoleState& unfailed, const ConsoleState& after) {
                ConsoleState expected = unfailed;
                left(&expected, before);
                return after == expected;
            }};
}

const NavOutcome NoMark = Marked("the tag without the mark", [](ConsoleState* e, const ConsoleState& b) {
    e->marks = b.marks;
});

const NavOutcome InputStartNotLearnt = {
    "the input start not learnt", [](const ConsoleState& before, const ConsoleState&, const ConsoleState& after) {
        return after == before;
    }};

const NavOutcome TimerLeft = {
    "armed, the timer that could not be killed still pending",
    [](const ConsoleState& before, const ConsoleState&, const ConsoleState& after) {
        ConsoleState expected = before;
        expected.armed = true;
        return after == expected;
    }};

void Console(bool tagged)
{
    standin::SetConsole(100, 1200);
    if (tagged) {
        for (int row : Tags)
            standin::SetAttribute(0, row, (WORD)(0x07 | Startup.markerAttribute));
    }
    standin::SetWindow({0, 700, 99, 729});
    standin::SetCursor({3, CursorRow});
}

void Hold(int modifiers)
{
    standin::SetKeyHeld(VK_SHIFT, modifiers & 1);
    standin::SetKeyHeld(VK_CONTROL, modifiers & 2);
    standin::SetKeyHeld(VK_MENU, modifiers & 4);
}

// context non-zero, so that a keyless event under the newer host is not
// taken for a cursor tag by accident.
void Event(int32_t code, int row, const char16_t* name)
{
    event = KeyEventRecord{};
    event.code = code;
    event.row = row;
    event.context = &event;
    if (name) {
        Text(name).copy(keyName, 31);
        keyName[Text(name).size()] = 0;
        event.keyName = keyName;
    }
}

void PressKey()
{
    key(&event);
}

// The typed filter on, and typed after the prompt "C:\src>" on the cursor's
// row, its start learnt; of the three tagged rows only row 50 begins "git st".
void TypedAtThePrompt(const Text& typed)
{
    Console(true);
    const Text lines[] = {u"C:\\src>git status", u"C:\\src>echo git st", u"C:\\src>count 5", u"C:\\src>" + typed};
    const int rows[] = {Tags[0], Tags[1], Tags[2], 1150};
    for (int i = 0; i < 4; ++i) {
        for (size_t column = 0; column < lines[i].size(); ++column)
            standin::SetCharacter((int)column, rows[i], lines[i][column]);
    }
    Settings.TypedFilter = 1;
    standin::SetCursor({7, 1150});
    if (!typed.empty())
        NoteInputStart(1150);
    standin::SetCursor({(SHORT)(7 + typed.size()), 1150});
}

// "git st" typed key by key and echoed as the host does, then the back hotkey.
void TypeThenPressBack()
{
    for (char16_t c : Text(u"git st")) {
        KeyEventRecord typed = {c, 1150};
        key(&typed);
        COORD at = standin::Cursor();
        standin::SetCharacter(at.X, at.Y, c);
        standin::SetCursor({(SHORT)(at.X + 1), at.Y});
    }
    Hold(2 | 4);
    key(&event);
}

// A back press with no tag anywhere: the beep sounds and its timer is pending.
void AfterAFailedPress()
{
    Console(false);
    Hold(2 | 4);
    Event(0x1008D, 0, nullptr);
    key(&event);
}

std::vector<Scenario<ConsoleState>> NavigationScenarios()
{
    const std::vector<NavOutcome> untagged = {NothingHappened};
    const std::vector<NavOutcome> noMove = {NothingHappened, Beeped};
    return {
        {"EnterTagsTheLinesRow", [] {
             Console(true);
             Event(13, LineRow, nullptr);
         }, PressKey, untagged, {}},
        {"KeylessEventTagsTheCursorRow", [] {
             Console(true);
             Event(0, LineRow, nullptr);
         }, PressKey, untagged,
         {}},
        {"NewerHostEnterByNameTagsTheLinesRow",
         [] {
             Console(true);
             Startup.useExtendedKeys = true;
             Event(0, LineRow, u"enter");
         },
         PressKey, untagged, {}},
        {"BackHotkeyMovesTheWindow", [] {
             Console(true);
             Hold(2 | 4);
             Event(0x1008D, 0, nullptr);
         }, PressKey,
         noMove, {}},
        {"CtrlShiftHotkeyMovesForward",
         [] {
             Console(true);
             Hold(1 | 2);
             Event(0x10050, 0, nullptr);
             Settings.HotkeyDown = 0x30050;
         },
         PressKey, noMove, {}},
        // The name carries the modifiers, so the live state cannot take them away.
        {"NewerHostHotkeyByNameMovesForward",
         [] {
             Console(true);
             Startup.useExtendedKeys = true;
             Event(0, 0, u"Ctrl-Alt-Down");
         },
         PressKey, {Beeped}, {}},
        // Without a timer nothing would ever re-arm the beep.
        {"HotkeyWithNowhereToGoBeeps", [] {
             Console(false);
             Hold(2 | 4);
             Event(0x1008D, 0, nullptr);
         }, PressKey,
         {NothingHappened, BeepUnheard}, {{Api::SetTimer, BeepedAndArmed}}},
        // A timer that could not be killed stays pending, so that shutdown
        // still kills it.
        {"BeepTimerRearms", AfterAFailedPress, [] { standin::FireTimers(); }, {}, {{Api::KillTimer, TimerLeft}}},
        {"ShutdownCancelsThePendingBeep", AfterAFailedPress, [] { ShutdownPlugin(FALSE); }, {TimerLeft}, {}},
        // The first keystroke of a line learns where the typing starts.
        {"KeystrokeLearnsTheInputStart", [] {
             Console(true);
             Settings.TypedFilter = 1;
             Event('g', LineRow, nullptr);
         }, PressKey, {InputStartNotLearnt}, {}},
        // Back to the one match, far above the window; a read that fails
        // fails the press, which never goes where it would unfiltered.
        {"TypedFilterBackPress", [] {
             TypedAtThePrompt(u"git st");
             Hold(2 | 4);
             Event(0x1008D, 1150, nullptr);
         }, PressKey, {NothingHappened, Beeped}, {{Api::ReadConsoleOutputW, Beeped}}},
        // Without the cursor at the line's first keystroke, the press beeps.
        {"TypedLineThenBackPress", [] {
             TypedAtThePrompt(u"");
             Event(0x1008D, 1150, nullptr);
         }, TypeThenPressBack, {Beeped, StartLearnt(NothingHappened), StartLearnt(Beeped)}, {}},
        // A row that names no line leaves an unknown start unknown.
        {"TypedLineThenBackPressWithRowMinusOne", [] {
             TypedAtThePrompt(u"");
             Event(0x1008D, -1, nullptr);
         }, TypeThenPressBack, {Beeped, StartLearnt(NothingHappened), StartLearnt(Beeped)},
         {{Api::GetConsoleScreenBufferInfo, {"the beep", [](const auto& b, const auto& u, const auto& a) {
               return Beeped.holds(b, u, a) || StartLearnt(Beeped).holds(b, u, a); }}}}},
        // The mark, the cursor inside the line: whole or not at all; the mode put back.
        {"EnterWritesTheTerminalMark", [] {
             standin::SetConsoleProfile(standin::PseudoConsole);
             standin::SetConsole(100, 30);
             Startup.markerAttribute = MarkerAttributeModern;
             standin::Print(u"C:\\src>count 3");
             standin::SetCursor({10, 0});
             Settings.TerminalMarks = MarksYes;
             Event(13, 0, nullptr);
         }, PressKey,
         {NoMark,
          Marked("the mark without the tag",
                 [](ConsoleState* e, const ConsoleState& b) { e->columnZero = b.columnZero; }),
          Marked("the output mode left as it was written", [](ConsoleState* e, const ConsoleState& b) {
              e->mode = b.mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING;
          })},
         {{Api::WriteConsoleW, NoMark}}},
        // The output of the command on row 600, up to the prompt.
        {"CopyHotkeyCopiesTheLastOutput",
         [] {
             Console(true);
             for (int row = 601; row < 620; ++row)
                 standin::SetCharacter(0, row, u'x');
             standin::SetCursor({2, 620});
             standin::SetClipboardText(u"before");
             Settings.CopyHotkey = 0x5002E;
             Hold(2 | 4);
             Event(0x1002E, 620, nullptr);
         },
         PressKey, {NothingHappened, Beeped, BeepedClipboardEmptied}, {{Api::ReadConsoleOutputW, Beeped}}},
        // The output of the one match, row 50; unfiltered, the command would
        // be row 600, whose output is "z".
        {"TypedFilterCopy",
         [] {
             TypedAtThePrompt(u"git st");
             standin::SetCharacter(0, 51, u'x');
             standin::SetCharacter(0, 52, u'y');
             standin::SetCharacter(0, 601, u'z');
             standin::SetClipboardText(u"before");
             Settings.CopyHotkey = 0x5002E;
             Hold(2 | 4);
             Event(0x1002E, 1150, nullptr);
         },
         PressKey, {NothingHappened, Beeped, BeepedClipboardEmptied}, {{Api::ReadConsoleOutputW, Beeped}}},
    };
}

class NavigationFaults : public ::testing::TestWithParam<Scenario<ConsoleState>> {};

TEST_P(NavigationFaults, EveryFailedCallEndsInAnAllowedOutcome)
{
    Sweep(GetParam(), ObserveConsole);
}

INSTANTIATE_TEST_SUITE_P(Sweep, NavigationFaults, ::testing::ValuesIn(NavigationScenarios()),
                         ScenarioName<ConsoleState>);

// ---- start-up ----------------------------------------------------------------------------

const Text KeyPath = SettingsKey;

struct StartupState {
    int result;
    UserSettings settings;
    WORD marker;
    Text out;
    Text err;

    bool operator==(const StartupState& o) const
    {
        return result == o.result && SameSettings(settings, o.settings) && marker == o.marker && out == o.out &&
               err == o.err;
    }
};

int startResult;

StartupState ObserveStartup()
{
    return {startResult, Settings, Startup.markerAttribute, HostStdoutText(), HostStderrText()};
}

std::string Describe(const StartupState& s)
{
    std::ostringstream out;
    out << "  result " << s.result << ", up " << Hex((uint32_t)s.settings.HotkeyUp) << ", down "
        << Hex((uint32_t)s.settings.HotkeyDown) << ", wrap " << s.settings.Wrap << ", sound "
        << s.settings.ErrorSound << ", marker " << Hex(s.marker) << "\n  stdout " << Quoted(s.out)
        << "\n  stderr " << Quoted(s.err) << "\n";
    return out.str();
}

// Extended-table codes, the host stand-in's default generation.
const UserSettings UserSet = {0x30048, 0x30050, 0, 0};    // Ctrl-Shift-Up, Ctrl-Shift-Down
const UserSettings MachineSet = {0x10084, 0x10076, 0, 0}; // Ctrl-PgUp, Ctrl-PgDn

void Save(HKEY root, const UserSettings& set)
{
    standin::SetRegistryDword(root, KeyPath, u"HotkeyUp", (DWORD)set.HotkeyUp);
    standin::SetRegistryDword(root, KeyPath, u"HotkeyDown", (DWORD)set.HotkeyDown);
    standin::SetRegistryDword(root, KeyPath, u"Wrap", (DWORD)set.Wrap);
    standin::SetRegistryDword(root, KeyPath, u"ErrorSound", (DWORD)set.ErrorSound);
}

Text Named(KeyCode code)
{
    WCHAR name[TextBufferLength];
    KeyCodeToName(code, name, TextBufferLength);
    return name;
}

// Start-up ends with one of a few sets in force, its switches possibly
// read as on, either marker, and the message printed or not.
Outcome<StartupState> Started(const char* name, const UserSettings& set, WORD marker, bool printed)
{
    return {name, [=](const StartupState&, const StartupState&, const StartupState& after) {
                Text message;
                if (printed)
                    message = u"Mirvane v1.0.1 loaded.  Back: " + Named(set.HotkeyUp) + u", forward: " +
                              Named(set.HotkeyDown) + u".\r\n";
                return after == StartupState{0, set, marker, message, u""};
            }};
}

UserSettings SwitchedOn(UserSettings set, int32_t UserSettings::*field)
{
    set.*field = 1;
    return set;
}

std::vector<Scenario<StartupState>> StartupScenarios()
{
    const WORD newer = MarkerAttributeModern;
    const WORD older = MarkerAttributeClassic;
    auto start = [] { startResult = InitializePlugin(); };
    return {
        // Windows 10.0.19041 through RtlGetVersion; GetVersionExW would say 6.1.
        {"UserRootLoadedAndAnnounced",
         [] {
             standin::SetRtlGetVersion(true, 10, 0, 19041);
             Save(HKEY_CURRENT_USER, UserSet);
             Save(HKEY_LOCAL_MACHINE, MachineSet);
         },
         start,
         {Started("the machine's set", MachineSet, newer, true),
          Started("a switch read as on", SwitchedOn(UserSet, &UserSettings::Wrap), newer, true),
          Started("a switch read as on", SwitchedOn(UserSet, &UserSettings::ErrorSound), newer, true),
          Started("the version unknown", UserSet, older, true)},
         {}},
        // RtlGetVersion reports 5.1, so GetVersionExW's 10.0.22000 decides; the
        // user root holds half a set, so the machine root is read; NoLoadMsg set.
        {"MachineRootLoadedSilently",
         [] {
             standin::SetRtlGetVersion(true, 5, 1, 2600);
             standin::SetGetVersionEx(true, 10, 0, 22000);
             standin::SetEnvironment(u"NoLoadMsg", u"1");
             standin::SetRegistryDword(HKEY_CURRENT_USER, KeyPath, u"HotkeyUp", (DWORD)UserSet.HotkeyUp);
             Save(HKEY_LOCAL_MACHINE, MachineSet);
         },
         start,
         {Started("the message printed", MachineSet, newer, true),
          Started("the defaults kept", DefaultSettings, newer, false),
          Started("a switch read as on", SwitchedOn(MachineSet, &UserSettings::Wrap), newer, false),
          Started("a switch read as on", SwitchedOn(MachineSet, &UserSettings::ErrorSound), newer, false),
          Started("the version unknown", MachineSet, older, false)},
         {}},
    };
}

class StartupFaults : public ::testing::TestWithParam<Scenario<StartupState>> {};

TEST_P(StartupFaults, EveryFailedCallEndsInAnAllowedOutcome)
{
    Sweep(GetParam(), ObserveStartup);
}

INSTANTIATE_TEST_SUITE_P(Sweep, StartupFaults, ::testing::ValuesIn(StartupScenarios()),
                         ScenarioName<StartupState>);

// ---- the command -------------------------------------------------------------------------

struct CommandState {
    int result;
    Text out;
    std::vector<Text> err; // the writes to standard error
    Text elsewhere;        // writes to a handle that is no standard one
    UserSettings settings;
    std::vector<std::pair<Text, DWORD>> userKey; // the values under HKCU, as DWORDs
    bool userKeyExists;

    bool operator==(const CommandState& o) const
    {
        return result == o.result && out == o.out && err == o.err && elsewhere == o.elsewhere &&
               SameSettings(settings, o.settings) && userKey == o.userKey && userKeyExists == o.userKeyExists;
    }
};

int commandResult;

CommandState ObserveCommand()
{
    CommandState s = {commandResult, HostOutput(HostStdout), {}, HostOutput(HostOtherHandle), Settings, {},
                      standin::RegistryKeyExists(HKEY_CURRENT_USER, KeyPath)};
    for (int i = 0; i < HostWriteCount(); ++i) {
        if (HostWriteChannel(i) == HostStderr)
            s.err.push_back(HostWriteText(i));
    }
    for (const Text& name : standin::RegistryValueNames(HKEY_CURRENT_USER, KeyPath)) {
        std::vector<uint8_t> d = standin::RegistryValue(HKEY_CURRENT_USER, KeyPath, name)->data;
        DWORD value = d.size() == 4 ? (DWORD)d[0] | (DWORD)d[1] << 8 | (DWORD)d[2] << 16 | (DWORD)d[3] << 24 : 0;
        s.userKey.push_back({name, value});
    }
    std::sort(s.userKey.begin(), s.userKey.end());
    return s;
}

std::string Describe(const CommandState& s)
{
    std::ostringstream out;
    out << "  result " << s.result << "\n  stdout " << Quoted(s.out) << "\n  stderr";
    for (const Text& write : s.err)
        out << " " << Quoted(write);
    out << "\n  elsewhere " << Quoted(s.elsewhere) << "\n  settings up " << Hex((uint32_t)s.settings.HotkeyUp)
        << ", down " << Hex((uint32_t)s.settings.HotkeyDown) << ", wrap " << s.settings.Wrap << ", sound "
        << s.settings.ErrorSound << "\n  HKCU key " << (s.userKeyExists ? "exists:" : "absent");
    for (const auto& value : s.userKey)
        out << " " << Printable(value.first) << "=" << Hex(value.second);
    out << "\n";
    return out.str();
}

typedef Outcome<CommandState> CommandOutcome;

// The standard error handle could not be had for one write, which went to
// no standard handle.
const CommandOutcome OneErrorWriteLost = {
    "one error write to no standard handle",
    [](const CommandState&, const CommandState& unfailed, const CommandState& after) {
        for (size_t lost = 0; lost < unfailed.err.size(); ++lost) {
            CommandState expected = unfailed;
            expected.elsewhere = unfailed.err[lost];
            expected.err.erase(expected.err.begin() + (long)lost);
            if (after == expected)
                return true;
        }
        return false;
    }};

const CommandOutcome SystemTextUnavailable = {
    "the status's number instead of its text",
    [](const CommandState&, const CommandState& unfailed, const CommandState& after) {
        CommandState expected = unfailed;
        expected.err.back() = u"Error 5\r\n";
        return after == expected;
    }};

const Text SaveRefused = u"Error saving settings to the registry (HKCU) :\r\n";

// Saving failed: result 2 with the settings applied and the report printed,
// the error after it, and the key holding `kept` of the values.
bool SaveFailedKeeping(const CommandState& unfailed, const CommandState& after, size_t kept)
{
    Text report = unfailed.out.substr(0, unfailed.out.find(u"\r\nSettings saved"));
    std::vector<Text> err = {u"Mirvane plugin: ", SaveRefused, u"Access is denied.\r\n"};
    if (after.result != 2 || after.out != report + u"\r\n" || after.err != err ||
        !SameSettings(after.settings, unfailed.settings) || after.userKey.size() != kept)
        return false;
    // Every value that was written is the one the unfailed run wrote.
    return std::all_of(after.userKey.begin(), after.userKey.end(), [&](const std::pair<Text, DWORD>& v) {
        return std::find(unfailed.userKey.begin(), unfailed.userKey.end(), v) != unfailed.userKey.end();
    });
}

const CommandOutcome SaveFailed = {
    "result 2 with the settings applied, nothing saved",
    [](const CommandState&, const CommandState& unfailed, const CommandState& after) {
        return !after.userKeyExists && SaveFailedKeeping(unfailed, after, 0);
    }};

// Each write is tried whatever the others did.
const CommandOutcome OtherThreeSaved = {
    "result 2 with the settings applied, the other three values saved",
    [](const CommandState&, const CommandState& unfailed, const CommandState& after) {
        return SaveFailedKeeping(unfailed, after, 3);
    }};

// Removing the copy hotkey's value counts like a write.
const CommandOutcome CopyHotkeyNotRemoved = {
    "result 2 with the settings applied, the four values saved",
    [](const CommandState&, const CommandState& unfailed, const CommandState& after) {
        return SaveFailedKeeping(unfailed, after, 4);
    }};

const UserSettings CtrlArrows = {0x1008D, 0x10091, 0, 0}; // Ctrl-Up, Ctrl-Down, both switches off
const UserSettings CtrlPages = {0x10084, 0x10077, 0, 0};  // Ctrl-PgUp, Ctrl-Home

// /R restored a set (or none), with its switches possibly read as on.
CommandOutcome Restored(const char* name, const char16_t* root, const UserSettings& set)
{
    return {name, [=](const CommandState&, const CommandState&, const CommandState& after) {
                Text said = root ? u"Settings restored from the registry (" + Text(root) + u").\r\n"
                                 : Text(u"Settings not found in the registry.\r\n");
                return after.result == 0 && after.out.rfind(said, 0) == 0 && after.err.empty() &&
                       SameSettings(after.settings, set);
            }};
}

std::function<void()> Command(const char16_t* arguments)
{
    return [arguments] {
        Text line = arguments;
        commandResult = mirvane(&line[0]);
    };
}

std::vector<Scenario<CommandState>> CommandScenarios()
{
    auto onUser = [](int32_t UserSettings::*field) { return SwitchedOn(CtrlArrows, field); };
    auto onMachine = [](int32_t UserSettings::*field) { return SwitchedOn(CtrlPages, field); };
    return {
        {"SaveWritesAllFourValues", [] {}, Command(u"/B:Ctrl-PgUp /W:N /S"), {SaveFailed},
         {{Api::RegSetValueExW, OtherThreeSaved}, {Api::RegDeleteValueW, CopyHotkeyNotRemoved}}},
        {"RefusedSaveReportsTheSystemText", [] { standin::DenyRegistryAccess(HKEY_CURRENT_USER); },
         Command(u"/S"), {SystemTextUnavailable, OneErrorWriteLost}, {}},
        {"BadValueIsReportedAndNothingApplied", [] {}, Command(u"/B:Ctrl-Up /W:maybe"), {OneErrorWriteLost}, {}},
        {"RestoreFromTheUserRoot", [] { Save(HKEY_CURRENT_USER, CtrlArrows); }, Command(u"/R"),
         {Restored("nothing restored", nullptr, DefaultSettings),
          Restored("a switch read as on", u"HKCU", onUser(&UserSettings::Wrap)),
          Restored("a switch read as on", u"HKCU", onUser(&UserSettings::ErrorSound))},
         {}},
        {"RestoreFallsBackToTheMachineRoot",
         [] {
             Save(HKEY_CURRENT_USER, CtrlArrows);
             Save(HKEY_LOCAL_MACHINE, CtrlPages);
         },
         Command(u"/R"),
         {Restored("the machine's set", u"HKLM", CtrlPages),
          Restored("a switch read as on", u"HKCU", onUser(&UserSettings::Wrap)),
          Restored("a switch read as on", u"HKCU", onUser(&UserSettings::ErrorSound))},
         {}},
        {"RestoreFromTheMachineRoot",
         [] {
             standin::SetRegistryDword(HKEY_CURRENT_USER, KeyPath, u"HotkeyUp", (DWORD)CtrlArrows.HotkeyUp);
             Save(HKEY_LOCAL_MACHINE, CtrlPages);
         },
         Command(u"/R"),
         {Restored("nothing restored", nullptr, DefaultSettings),
          Restored("a switch read as on", u"HKLM", onMachine(&UserSettings::Wrap)),
          Restored("a switch read as on", u"HKLM", onMachine(&UserSettings::ErrorSound))},
         {}},
    };
}

class CommandFaults : public ::testing::TestWithParam<Scenario<CommandState>> {};

TEST_P(CommandFaults, EveryFailedCallEndsInAnAllowedOutcome)
{
    Sweep(GetParam(), ObserveCommand);
}

INSTANTIATE_TEST_SUITE_P(Sweep, CommandFaults, ::testing::ValuesIn(CommandScenarios()),
                         ScenarioName<CommandState>);

} // namespace
