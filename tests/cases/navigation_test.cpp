// The navigation cases, run on whichever runner this is built into.
#include <string.h>

#include "tests/cases/navigation_cases.h"

namespace {

class JourneyTest : public CaseTest, public ::testing::WithParamInterface<JourneyRun> {};

TEST_P(JourneyTest, LeavesTheWindowAtEachTop)
{
    const Journey& j = *GetParam().journey;
    harness::UseConsole(GetParam().console);
    StartPlugin(NewerHost);
    ASSERT_EQ(RunCommand(j.wrap ? TEXT("/W:Y") : TEXT("/W:N")), 0);
    harness::LayConsole(100, j.rows, 0, j.top, 100, j.windowRows);
    for (int row : j.tags)
        EnterLine(row);

    ExpectPresses(j.presses, j.windowRows);
    harness::ExpectNothingLeftOpen();
}

INSTANTIATE_TEST_SUITE_P(, JourneyTest,
                         ::testing::ValuesIn(Runnable(JourneyRuns(),
                                                      [](const JourneyRun& run) {
                                                          return harness::RunsOn(run.console);
                                                      })),
                         CaseName<JourneyRun>);

// The window keeps its size and comes back to column 0.
TEST_F(CaseTest, WindowScrolledRightComesBackToColumnZero)
{
    StartPlugin(NewerHost);
    harness::LayConsole(200, 300, 60, 271, 80, 29);
    EnterLine(100);
    PressHotkey(Back);
    SMALL_RECT window = harness::Window();
    EXPECT_EQ(window.Left, 0);
    EXPECT_EQ(window.Right, 79);
    EXPECT_EQ(window.Top, 100);
    EXPECT_EQ(window.Bottom, 128);
}

class KeyTest : public CaseTest, public ::testing::WithParamInterface<KeyCase> {};

bool Tagged(int row)
{
    return (harness::Attribute(0, row) & DocumentedConsoleKind.marker) != 0;
}

// Only code, and under the newer host the name's first unit, may change in
// the host's record; everything else of the key goes on to the host.
TEST_P(KeyTest, TagsMovesOrPasses)
{
    const KeyCase& c = GetParam();
    StartPlugin(c.hostVersion);
    if (c.hotkeys)
        ASSERT_EQ(RunCommand(c.hotkeys), 0);
    harness::LayConsole(100, 300, 0, KeyCaseTop, 100, 30);
    EnterLine(KeyCaseBackRow);
    EnterLine(KeyCaseForwardRow);
    harness::SetCursor(3, KeyCaseCursorRow);
    harness::HoldModifiers(c.held);

    Text name = c.keyName ? c.keyName : TEXT("");
    KeyEventRecord event;
    memset(&event, 0xA5, sizeof event);
    event.code = c.code;
    event.row = KeyCaseLineRow;
    event.context = c.context ? &event : nullptr;
    event.keyName = c.keyName ? &name[0] : nullptr;
    KeyEventRecord before = event;
    EXPECT_EQ(harness::Plugin().key(&event), 0);
    harness::HoldModifiers(NoModifier);

    bool scrolls = c.outcome == ScrollsBack || c.outcome == ScrollsForward;
    before.code = scrolls ? 0 : c.code;
    EXPECT_EQ(memcmp(&before, &event, sizeof event), 0) << "the record changed beyond its code";
    if (c.keyName) {
        Text expected = c.keyName;
        if (scrolls && c.hostVersion == NewerHost)
            expected[0] = 0;
        EXPECT_EQ(name, expected);
    }
    EXPECT_EQ(Tagged(KeyCaseLineRow), c.outcome == TagsLineRow);
    EXPECT_EQ(Tagged(KeyCaseCursorRow), c.outcome == TagsCursorRow);
    int top = c.outcome == ScrollsBack      ? KeyCaseBackRow
              : c.outcome == ScrollsForward ? KeyCaseForwardRow
                                            : KeyCaseTop;
    EXPECT_EQ(harness::Window().Top, top);
    EXPECT_EQ(harness::BeepsSinceAsked(), 0);
    harness::ExpectNothingLeftOpen();
}

INSTANTIATE_TEST_SUITE_P(, KeyTest, ::testing::ValuesIn(KeyCases), CaseName<KeyCase>);

class TagColourTest : public CaseTest, public ::testing::WithParamInterface<TagColourCase> {};

// Only the attribute of column 0 changes: the characters, the rest of the
// row and the rows around it stay as they were.
TEST_P(TagColourTest, ColoursTheEnteredLine)
{
    const TagColourCase& c = GetParam();
    harness::UseConsole(c.console);
    StartPlugin(NewerHost);
    if (c.visible)
        ASSERT_EQ(RunCommand(TEXT("/VM:Y")), 0);
    harness::LayConsole(100, 300, 0, 0, 100, 30);
    harness::WriteCharacters(0, 20, TEXT("dir /w"));
    harness::SetAttribute(1, 20, 0x4F);
    harness::SetAttribute(0, 19, 0x1E);
    harness::SetAttribute(0, 21, 0x1E);
    if (c.escapeColoured)
        harness::SetEscapeColoured(0, 20, c.before);
    else
        harness::SetAttribute(0, 20, c.before);

    EnterLine(20);

    EXPECT_EQ(harness::Attribute(0, 20), c.after);
    EXPECT_EQ(harness::Character(0, 20), 'd');
    EXPECT_EQ(harness::Character(5, 20), 'w');
    EXPECT_EQ(harness::Attribute(1, 20), 0x4F);
    EXPECT_EQ(harness::Attribute(0, 19), 0x1E);
    EXPECT_EQ(harness::Attribute(0, 21), 0x1E);
    EXPECT_EQ(harness::Window().Top, 0) << "tagging does not move the window";
}

INSTANTIATE_TEST_SUITE_P(, TagColourTest,
                         ::testing::ValuesIn(Runnable(TagColourCases,
                                                      [](const TagColourCase& c) {
                                                          return harness::RunsOn(c.console) &&
                                                                 (!c.escapeColoured ||
                                                                  harness::CanColourByEscape());
                                                      })),
                         CaseName<TagColourCase>);

class RowOutsideTest : public CaseTest, public ::testing::WithParamInterface<int> {};

TEST_P(RowOutsideTest, TagsNothing)
{
    StartPlugin(NewerHost);
    harness::LayConsole(100, 300, 0, 0, 100, 30);
    EXPECT_EQ(PressKey(13, GetParam()).code, 13);
    for (int row = 0; row < 300; ++row)
        ASSERT_EQ(harness::Attribute(0, row), 0x07) << "row " << row;
    harness::ExpectNothingLeftOpen();
}

INSTANTIATE_TEST_SUITE_P(, RowOutsideTest, ::testing::ValuesIn(RowsOutsideTheBuffer),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Row" + std::to_string(info.index);
                         });

} // namespace
