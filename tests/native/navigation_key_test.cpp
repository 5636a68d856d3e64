// The keystroke handler: which row it tags, which keys scroll and are
// consumed, and what it touches in the host's record and the console.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>

#include "host/exports.h"
#include "standins/host/host_standin.h"
#include "navigation/navigation.h"
#include "plugin/state.h"
#include "standins/windows/standin_control.h"

namespace {

enum Held { None = 0, Shift = 1, Ctrl = 2, Alt = 4 };
enum Outcome { Nothing, TagsRow, TagsCursor, ScrollsBack, ScrollsForward };

constexpr int RecordRow = 20;
constexpr int CursorRow = 7;
constexpr int StartTop = 100; // tags at 50 and 250 lie back and forward of it

class NavigationKey : public ::testing::Test {
protected:
    void SetUp() override
    {
        CancelBeepTimer();
        standin::Reset();
        HostReset();
        ResetModuleState();
        standin::SetAttribute(0, 50, 0x07 | Startup.markerAttribute);
        standin::SetAttribute(0, 250, 0x07 | Startup.markerAttribute);
        standin::SetWindow({0, StartTop, 99, StartTop + 29});
        standin::SetCursor({3, CursorRow});
    }
    static void Hold(int held)
    {
        standin::SetKeyHeld(VK_SHIFT, held & Shift);
        standin::SetKeyHeld(VK_CONTROL, held & Ctrl);
        standin::SetKeyHeld(VK_MENU, held & Alt);
    }
    static bool Tagged(int row) { return standin::Attribute(0, row) & Startup.markerAttribute; }
};

struct KeyCase {
    const char* name;
    int extended;
    KeyCode code;
    const char16_t* keyName;
    bool context;
    int held;
    KeyCode hotkeyUp; // 0: the default
    KeyCode hotkeyDown;
    Outcome outcome;
};

const KeyCase kKeys[] = {
    {"OlderEnterTagsRow", 0, 13, nullptr, false, None, 0, 0, TagsRow},
    {"NewerEnterTagsRow", 1, 13, nullptr, false, Ctrl | Alt, 0, 0, TagsRow},
    {"OlderCtrlEnterTagsRow", 0, 3085, nullptr, false, None, 0, 0, TagsRow},
    {"NewerCtrlEnterTagsRow", 1, 3085, nullptr, true, None, 0, 0, TagsRow},
    {"OlderNoKeyTagsCursorIgnoringNameAndContext", 0, 0, u"Enter", true, None, 0, 0, TagsCursor},
    {"NewerEnterByNameInAnyCase", 1, 0, u"eNTer", true, None, 0, 0, TagsRow},
    {"NewerCtrlEnterByName", 1, 0, u"Ctrl-Enter", true, None, 0, 0, TagsRow},
    {"NewerShiftEnterByNameIsNoLine", 1, 0, u"Shift-Enter", false, None, 0, 0, Nothing},
    {"NewerNoNameNoContextTagsCursor", 1, 0, nullptr, false, None, 0, 0, TagsCursor},
    {"NewerUnknownNameNoContextTagsCursor", 1, 0, u"NoSuchKey", false, None, 0, 0, TagsCursor},
    {"NewerNoNameWithContextDoesNothing", 1, 0, nullptr, true, Ctrl | Alt, 0, 0, Nothing},
    {"OlderCtrlAltUpScrollsBack", 0, 0x1008D, u"Up", true, Ctrl | Alt, 0, 0, ScrollsBack},
    {"NewerCtrlAltUpScrollsBack", 1, 0x1008D, u"Ctrl-Up", false, Ctrl | Alt, 0, 0, ScrollsBack},
    {"NewerHotkeyWithoutName", 1, 0x1008D, nullptr, false, Ctrl | Alt, 0, 0, ScrollsBack},
    {"NewerHotkeyByName", 1, 0, u"Ctrl-Alt-Down", false, None, 0, 0, ScrollsForward},
    {"CtrlAltDownScrollsForward", 0, 0x10091, nullptr, false, Ctrl | Alt, 0, 0, ScrollsForward},
    {"CtrlAloneIsNoHotkey", 0, 0x1008D, nullptr, false, Ctrl, 0, 0, Nothing},
    {"AltShiftAddsNothing", 1, 0x1008D, nullptr, false, Alt | Shift, 0x1008D, 0, ScrollsBack},
    {"CtrlShiftAddsItsFlag", 0, 0x10091, nullptr, false, Ctrl | Shift, 0, 0x30091, ScrollsForward},
    {"FlagsGoOnTopOfTheHostsBits", 1, 0x5008D, nullptr, false, Ctrl | Alt, 0, 0, ScrollsBack},
    {"NewerCtrlAltShiftMissesDefault", 1, 0x1008D, nullptr, false, Shift | Ctrl | Alt, 0, 0, Nothing},
    {"NewerCtrlAltShiftAddsBothFlags", 1, 0x1008D, nullptr, false, Shift | Ctrl | Alt, 0x7008D, 0, ScrollsBack},
    {"OlderCtrlAltShiftAddsNothing", 0, 0x1008D, nullptr, false, Shift | Ctrl | Alt, 0x1008D, 0, ScrollsBack},
    {"EqualHotkeysScrollBack", 1, 0x10091, nullptr, false, Ctrl | Alt, 0x50091, 0x50091, ScrollsBack},
};

void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << c.name;
}

class Keys : public NavigationKey, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(Keys, TagScrollOrPass)
{
    const KeyCase& c = GetParam();
    Startup.useExtendedKeys = c.extended;
    if (c.hotkeyUp)
        Settings.HotkeyUp = c.hotkeyUp;
    if (c.hotkeyDown)
        Settings.HotkeyDown = c.hotkeyDown;
    Hold(c.held);
    std::u16string name = c.keyName ? c.keyName : u"";
    KeyEventRecord record = {};
    record.code = c.code;
    record.row = RecordRow;
    record.context = c.context ? &record : nullptr;
    record.keyName = c.keyName ? &name[0] : nullptr;

    EXPECT_EQ(key(&record), 0);

    bool scrolls = c.outcome == ScrollsBack || c.outcome == ScrollsForward;
    EXPECT_EQ(Tagged(RecordRow), c.outcome == TagsRow);
    EXPECT_EQ(Tagged(CursorRow), c.outcome == TagsCursor);
    EXPECT_EQ(standin::Window().Top,
              c.outcome == ScrollsBack ? 50 : c.outcome == ScrollsForward ? 250 : StartTop);
    EXPECT_EQ(record.code, scrolls ? 0 : c.code);
    if (c.keyName)
        EXPECT_EQ(name[0], scrolls && c.extended ? u'\0' : c.keyName[0]);
    EXPECT_EQ(standin::Beeps().size(), 0u);
    EXPECT_EQ(standin::OpenConsoleHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(, Keys, ::testing::ValuesIn(kKeys),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(NavigationKey, OrdinaryKeystrokeTouchesNoConsole)
{
    KeyEventRecord record = {};
    record.code = 'a';
    key(&record);
    EXPECT_EQ(standin::CallLog(), std::vector<standin::Api>(3, standin::Api::GetAsyncKeyState));
}

TEST_F(NavigationKey, NullRecordTouchesNothing)
{
    EXPECT_EQ(key(nullptr), 0);
    EXPECT_TRUE(standin::CallLog().empty());
}

// The older host's record may be no longer than code and row.
TEST_F(NavigationKey, EightByteRecordUnderOlderHost)
{
    KeyEventRecord* record = static_cast<KeyEventRecord*>(malloc(8));
    record->code = 13;
    record->row = RecordRow;
    key(record);
    EXPECT_TRUE(Tagged(RecordRow));
    record->code = 0;
    record->row = 0;
    key(record);
    EXPECT_TRUE(Tagged(CursorRow));
    record->code = 0x1008D;
    Hold(Ctrl | Alt);
    key(record);
    EXPECT_EQ(record->code, 0);
    EXPECT_EQ(standin::Window().Top, 50);
    free(record);
}

TEST_F(NavigationKey, ConsumingWritesOnlyTheCode)
{
    Startup.useExtendedKeys = 1;
    Hold(Ctrl | Alt);
    alignas(8) unsigned char memory[16 + sizeof(KeyEventRecord) + 16];
    memset(memory, 0xA5, sizeof memory);
    KeyEventRecord* record = reinterpret_cast<KeyEventRecord*>(memory + 16);
    record->code = 0x1008D;
    record->row = RecordRow;
    record->context = nullptr;
    record->keyName = nullptr;
    unsigned char before[sizeof memory];
    memcpy(before, memory, sizeof memory);
    key(record);
    EXPECT_EQ(record->code, 0);
    memset(before + 16, 0, 4);
    EXPECT_EQ(memcmp(before, memory, sizeof memory), 0);
}

// The newer host may send a name along with a code: consuming then blanks
// the name by its first character and leaves the host's pointer and the
// rest of its text alone.
TEST_F(NavigationKey, ConsumingWithANameWritesOnlyCodeAndFirstChar)
{
    Startup.useExtendedKeys = 1;
    Hold(Ctrl | Alt);
    std::u16string name = u"Ctrl-Alt-Up";
    alignas(8) unsigned char memory[16 + sizeof(KeyEventRecord) + 16];
    memset(memory, 0xA5, sizeof memory);
    KeyEventRecord* record = reinterpret_cast<KeyEventRecord*>(memory + 16);
    record->code = 0x1008D;
    record->row = RecordRow;
    record->context = &name;
    record->keyName = &name[0];
    unsigned char before[sizeof memory];
    memcpy(before, memory, sizeof memory);
    key(record);
    memset(before + 16, 0, 4);
    EXPECT_EQ(memcmp(before, memory, sizeof memory), 0);
    EXPECT_EQ(name, std::u16string(u"\0trl-Alt-Up", 11));
    EXPECT_EQ(standin::Window().Top, 50);
}

// The colours a tagged cell is left with, on the consoles users run. A cell
// coloured by an escape sequence comes back as its nearest legacy colour.
TEST_F(NavigationKey, MarkRowColours)
{
    const struct {
        const char* name;
        const standin::ConsoleProfile& console;
        int visible;
        WORD marker;
        WORD before;
        bool escapeColoured;
        WORD after;
    } cases[] = {
        {"plain", standin::DocumentedConsole, 0, 0x2000, 0x0007, false, 0x2007},
        {"high bits kept", standin::DocumentedConsole, 0, 0x0800, 0x8417, false, 0x8C17},
        {"visible", standin::DocumentedConsole, 1, 0x2000, 0x0007, false, 0x201F},
        {"visible on blue", standin::DocumentedConsole, 1, 0x2000, 0x0017, false, 0x204E},
        {"visible on bright blue", standin::DocumentedConsole, 1, 0x2000, 0x0097, false, 0x201F},
        {"visible keeps high bits", standin::DocumentedConsole, 1, 0x0800, 0x8417, false, 0x8C4E},
        {"visible already tagged", standin::DocumentedConsole, 1, 0x2000, 0x2017, false, 0x2017},
        {"visible already tagged, modern bit", standin::DocumentedConsole, 1, 0x0800, 0x0807, false, 0x0807},
        {"modern console, legacy cell", standin::ModernConsole, 0, 0x0800, 0x8417, false, 0x8C17},
        {"modern console loses the classic bit", standin::ModernConsole, 0, 0x2000, 0x0007, false, 0x0007},
        {"escape-coloured prompt", standin::ModernConsole, 0, 0x0800, 0x000E, true, 0x080E},
        {"escape-coloured prompt, visible", standin::ModernConsole, 1, 0x0800, 0x001E, true, 0x084E},
        {"pseudo console, legacy cell", standin::PseudoConsole, 0, 0x0800, 0x4417, false, 0x4C17},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        standin::SetConsoleProfile(c.console);
        visibleMarker = c.visible;
        Startup.markerAttribute = c.marker;
        if (c.escapeColoured)
            standin::SetEscapeColoured(0, RecordRow, c.before);
        else
            standin::SetAttribute(0, RecordRow, c.before);
        standin::SetCharacter(0, RecordRow, u'>');
        MarkRow(RecordRow);
        EXPECT_EQ(standin::Attribute(0, RecordRow), c.after) << std::hex << c.before;
        EXPECT_FALSE(standin::IsEscapeColoured(0, RecordRow));
        EXPECT_EQ(standin::Character(0, RecordRow), u'>');
        EXPECT_EQ(standin::Attribute(1, RecordRow), 0x07);
    }
}

TEST_F(NavigationKey, MarkRowOutsideTheBufferWritesNothing)
{
    const int rows[] = {-1, 300, 32767, 32768, 0x10000 + RecordRow};
    for (int row : rows) {
        MarkRow(row);
        EXPECT_EQ(standin::CallCount(standin::Api::WriteConsoleOutputAttribute), 0) << row;
    }
    EXPECT_FALSE(Tagged(RecordRow));
    standin::FailCall(standin::Api::ReadConsoleOutputW);
    MarkRow(RecordRow);
    standin::SetConsoleAvailable(false);
    MarkRow(RecordRow);
    EXPECT_FALSE(Tagged(RecordRow));
    EXPECT_EQ(standin::OpenConsoleHandles(), 0);
}

TEST_F(NavigationKey, GetCursorRow)
{
    EXPECT_EQ(GetCursorRow(), CursorRow);
    standin::FailCall(standin::Api::GetConsoleScreenBufferInfo);
    EXPECT_EQ(GetCursorRow(), -1);
    standin::SetConsoleAvailable(false);
    EXPECT_EQ(GetCursorRow(), -1);
    EXPECT_EQ(standin::OpenConsoleHandles(), 0);
}

} // namespace
