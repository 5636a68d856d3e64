// Wall times on the real DLL under Wine, for the record: one hotkey press
// that scans the whole buffer, and the copy hotkey taking a whole buffer's
// output. Figures only, printed; nothing is judged. scripts/bench runs it.
#include <stdio.h>

#include <algorithm>
#include <vector>

#include "tests/wine/wine_harness.h"

namespace {

void PrintFigures(const char* what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    printf("[  timing  ] %s: median %.2f ms, min %.2f ms, max %.2f ms (%zu presses)\n", what,
           times[times.size() / 2], times.front(), times.back(), times.size());
}

class WineBench : public CaseTest {};

TEST_F(WineBench, HotkeyPressScansTheWholeBuffer)
{
    StartPlugin(TEXT("24.0"));
    for (int rows : {9001, 32766}) {
        const int spacing = 1000;
        int bottomTop = rows - 29;
        harness::LayConsole(100, rows, 0, bottomTop, 100, 29);
        for (int row = spacing; row < rows; row += spacing)
            EnterLine(row);
        harness::HoldModifiers(Ctrl | Alt);
        std::vector<double> times;
        int expectedTop = (bottomTop - 1) / spacing * spacing;
        for (int press = 0; press < 7 && expectedTop > 0; ++press, expectedTop -= spacing) {
            Stopwatch clock;
            EXPECT_EQ(PressKey(0x1008D).code, 0);
            times.push_back(clock.ElapsedMs());
            ASSERT_EQ(harness::Window().Top, expectedTop) << "press " << press + 1;
        }
        harness::HoldModifiers(NoModifier);
        char what[64];
        snprintf(what, sizeof what, "one hotkey press, %d-row console", rows);
        PrintFigures(what, times);
    }
}

TEST_F(WineBench, CopyHotkeyTakesAWholeBuffer)
{
    const int rows = 9001;
    const int columns = 120;
    StartPlugin(TEXT("24.0"));
    ASSERT_EQ(RunCommand(TEXT("/C:Ctrl-Alt-C")), 0);
    harness::LayConsole(columns, rows, 0, rows - 30, 80, 30);
    Text line(columns, 'x');
    for (int row = 1; row < rows - 1; ++row)
        harness::WriteCharacters(0, row, line);
    EnterLine(0);
    harness::SetCursor(0, rows - 1);
    harness::HoldModifiers(Ctrl | Alt);
    std::vector<double> times;
    for (int press = 0; press < 7; ++press) {
        Stopwatch clock;
        EXPECT_EQ(PressKey(0x1002E).code, 0);
        times.push_back(clock.ElapsedMs());
    }
    harness::HoldModifiers(NoModifier);
    EXPECT_EQ(harness::BeepsSinceAsked(), 0);
    EXPECT_EQ(harness::ClipboardText().value_or(Text()).size(), (size_t)(rows - 2) * (columns + 2) - 2);
    PrintFigures("copy hotkey, 9001 rows of 120 columns", times);
}

} // namespace
