#include "navigation/navigation.h"
#include "plugin/state.h"

enum : WORD {
    ColourBits = 0x00FF,
    BackgroundBits = 0x00F0,
    BlueBackground = 0x0010,
    MarkerOnBlue = 0x004E,  // bright yellow on red: stands out on a blue background
    MarkerOnOther = 0x001F, // bright white on blue
    HighestRow = 0x7FFF,    // a COORD row is 16 bits signed
};

int GetCursorRow(void)
{
    HANDLE console = OpenConsoleOutput();
    if (console == INVALID_HANDLE_VALUE)
        return -1;
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    int row = GetConsoleScreenBufferInfo(console, &info) ? info.dwCursorPosition.Y : -1;
    CloseHandle(console);
    return row;
}

// A cell that already carries the marker keeps its colours, so tagging a row
// twice never recolours it a second time.
static WORD TaggedAttribute(WORD old)
{
    WORD marker = Settings.markerAttribute;
    if (!Settings.visibleMarker || (old & marker))
        return (WORD)(old | marker);
    WORD colours = (old & BackgroundBits) == BlueBackground ? MarkerOnBlue : MarkerOnOther;
    return (WORD)((old & ~ColourBits) | marker | colours);
}

int MarkRow(int row)
{
    // A row a COORD cannot hold would wrap round to some unrelated row.
    if (row < 0 || row > HighestRow)
        return 0;
    HANDLE console = OpenConsoleOutput();
    if (console == INVALID_HANDLE_VALUE)
        return 0;
    COORD cell = {0, (SHORT)row};
    WORD attribute = 0;
    DWORD count = 0;
    // Some consoles answer a row past the end with success and no cell.
    if (ReadConsoleOutputAttribute(console, &attribute, 1, cell, &count) && count == 1) {
        attribute = TaggedAttribute(attribute);
        WriteConsoleOutputAttribute(console, &attribute, 1, cell, &count);
    }
    CloseHandle(console);
    return 0;
}
