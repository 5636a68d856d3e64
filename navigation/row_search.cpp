// Tagged rows found outward from a row, and the typed filter's test of
// each. Every console read is a round trip to the console's process, so a
// read takes in as much as one call can carry: column 0 a block of rows at a
// time, and a tagged row's text together with the tagged rows near it.
#include <algorithm>

#include "navigation/navigation.h"
#include "plugin/state.h"
#include "plugin/text.h"

void StartRowSearch(RowSearch* search, HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info,
                    const CommandFilter* filter)
{
    search->console = console;
    search->height = info->dwSize.Y;
    search->width = info->dwSize.X;
    search->filter = filter;
    search->columnTop = 0;
    search->columnBottom = -1;
    search->cellsTop = 0;
    search->cellsBottom = -1;
}

// The row a walk from row towards to reaches after at most count rows.
static int Reach(int row, int to, int step, int count)
{
    int farthest = row + step * (count - 1);
    return (farthest - to) * step > 0 ? to : farthest;
}

static bool IsTagged(const RowSearch* s, int row)
{
    return (s->column[row - s->columnTop].Attributes & Startup.markerAttribute) != 0;
}

// Column 0 of row, and of the rows after it towards to, up to a block.
static bool HoldColumn(RowSearch* s, int row, int to, int step)
{
    if (row >= s->columnTop && row <= s->columnBottom)
        return true;
    int farthest = Reach(row, to, step, MarkerBlockRows);
    int top = std::min(row, farthest);
    int bottom = std::max(row, farthest);
    if (!ReadColumnBlock(s->console, s->column, top, bottom))
        return false;
    s->columnTop = top;
    s->columnBottom = bottom;
    return true;
}

// The text of row, read together with the further tagged rows towards to
// that one read can carry and column 0 already shows: where commands are
// close, one read serves several of them, and where they are far apart,
// none of the rows between is read.
static bool HoldText(RowSearch* s, int row, int to, int step)
{
    if (row >= s->cellsTop && row <= s->cellsBottom)
        return true;
    int reach = Reach(row, to, step, CellBlockCells / s->width);
    int farthest = row;
    for (int next = row + step; (reach - next) * step >= 0; next += step) {
        if (next < s->columnTop || next > s->columnBottom)
            break;
        if (IsTagged(s, next))
            farthest = next;
    }
    int top = std::min(row, farthest);
    int bottom = std::max(row, farthest);
    if (!ReadCellBlock(s->console, s->cells, 0, top, s->width - 1, bottom))
        return false;
    s->cellsTop = top;
    s->cellsBottom = bottom;
    return true;
}

// Whether the row's text goes on with the typed text from column on.
static bool TypedFrom(const CHAR_INFO* cells, int width, int column, const CommandFilter* f)
{
    int matched = 0;
    for (; column < width && matched < f->length; ++column) {
        WCHAR c = CellCharacter(cells[column]);
        if (c == 0)
            continue;
        if (AsciiLower(c) != AsciiLower(f->typed[matched]))
            return false;
        ++matched;
    }
    return matched == f->length;
}

// The row's text is read as the typed text was. Typed from column 0, the
// text can only be the row's start; otherwise it follows the character that
// ends the prompt, wherever that stands.
static bool RowMatches(const RowSearch* s, int row)
{
    const CommandFilter* f = s->filter;
    const CHAR_INFO* cells = &s->cells[(row - s->cellsTop) * s->width];
    if (!f->hasBefore)
        return TypedFrom(cells, s->width, 0, f);
    // Each character typed takes a cell of its own after the prompt's last.
    for (int column = 0; column < s->width - f->length; ++column) {
        if (CellCharacter(cells[column]) == f->before && TypedFrom(cells, s->width, column + 1, f))
            return true;
    }
    return false;
}

int NearestTaggedRow(RowSearch* search, int from, int to, int step, bool matching)
{
    if ((to - from) * step < 0)
        return NoRow;
    int low = std::max(std::min(from, to), 0);
    int high = std::min(std::max(from, to), search->height - 1);
    if (low > high)
        return NoRow;
    from = step > 0 ? low : high;
    to = step > 0 ? high : low;
    for (int row = from; (to - row) * step >= 0; row += step) {
        if (!HoldColumn(search, row, to, step))
            return SearchFailed;
        if (!IsTagged(search, row))
            continue;
        if (!matching)
            return row;
        if (!HoldText(search, row, to, step))
            return SearchFailed;
        if (RowMatches(search, row))
            return row;
    }
    return NoRow;
}
