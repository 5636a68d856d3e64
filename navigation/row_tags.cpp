#include "navigation/console_cells.h"
#include "navigation/row_tags.h"
#include "plugin/state.h"

enum : WORD {
    ColourBits = 0x00FF,
    BackgroundBits = 0x00F0,
    BlueBackground = 0x0010,
    MarkerOnBlue = 0x004E,  // bright yellow on red: stands out on a blue background
    MarkerOnOther = 0x001F, // bright white on blue
    HighestRow = 0x7FFF,    // a COORD row is 16 bits signed
};

// A cell that already carries the marker keeps its colours, so tagging a row
// twice never recolours it a second time.
static WORD TaggedAttribute(WORD old)
{
    WORD marker = Startup.markerAttribute;
    if (!visibleMarker || (old & marker))
        return (WORD)(old | marker);
    WORD colours = (old & BackgroundBits) == BlueBackground ? MarkerOnBlue : MarkerOnOther;
    return (WORD)((old & ~ColourBits) | marker | colours);
}

// Windows 10's console answers ReadConsoleOutputAttribute with nonsense for
// cells coloured by escape sequences (0 at times, which would write the
// prompt's first character back black on black); ReadConsoleOutputW reports
// their nearest legacy colour on every console. A row outside the buffer
// comes back as a clipped region or a failure, never as this one cell.
static bool ReadCell(HANDLE console, int row, CHAR_INFO* cell)
{
    COORD size = {1, 1};
    COORD origin = {0, 0};
    SMALL_RECT region = {0, (SHORT)row, 0, (SHORT)row};
    if (!ReadConsoleOutputW(console, cell, size, origin, &region))
        return false;
    return region.Left == 0 && region.Right == 0 && region.Top == row && region.Bottom == row;
}

void MarkRow(int row)
{
    // A row a COORD cannot hold would wrap round to some unrelated row.
    if (row < 0 || row > HighestRow)
        return;
    ConsoleOutput console;
    CHAR_INFO cell = {};
    if (!console.IsOpen() || !ReadCell(console.Get(), row, &cell))
        return;
    WORD attribute = TaggedAttribute(cell.Attributes);
    COORD at = {0, (SHORT)row};
    DWORD written = 0;
    WriteConsoleOutputAttribute(console.Get(), &attribute, 1, at, &written);
}
