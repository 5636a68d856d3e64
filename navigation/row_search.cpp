// The filtered back, forward and copy: tagged rows found outward from the
// window, each tested against the typed filter. Every console read is a
// round trip to the console's process, so a read takes in as much as one
// call can carry: column 0 a block of rows at a time, and a tagged row's
// text together with the tagged rows near it.
#include <algorithm>

#include "navigation/console_cells.h"
#include "navigation/typed_filter.h"
#include "plugin/state.h"

namespace {

struct RowSearch {
    HANDLE console;
    int height;
    int width;
    const CommandFilter* filter;
    CHAR_INFO column[MarkerBlockRows];
    int columnTop; // rows columnTop..columnBottom of column 0 are held
    int columnBottom;
    CHAR_INFO cells[CellBlockCells];
    int cellsTop; // whole rows cellsTop..cellsBottom are held
    int cellsBottom;
};

enum { NoRow = -1, SearchFailed = -2 };

// The row a walk from row towards to reaches after at most count rows.
int Reach(int row, int to, int step, int count)
{
    int farthest = row + step * (count - 1);
    return (farthest - to) * step > 0 ? to : farthest;
}

bool IsTagged(const RowSearch* s, int row)
{
    return (s->column[row - s->columnTop].Attributes & Startup.markerAttribute) != 0;
}

// Column 0 of row, and of the rows after it towards to, up to a block.
bool HoldColumn(RowSearch* s, int row, int to, int step)
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
// none of the rows between is read. A filter exists only where a whole row
// fits one read (RowFitsOneRead).
bool HoldText(RowSearch* s, int row, int to, int step)
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

// The nearest tagged row from `from` to `to`, both included, walking in the
// direction step (+1 or -1); a range that runs against step has none. With
// matching, only a row the filter matches counts. NoRow, or SearchFailed
// when a read failed.
int NearestTaggedRow(RowSearch* s, int from, int to, int step, bool matching)
{
    // Only the buffer's rows are walked: each end is clipped to it.
    from = step > 0 ? std::max(from, 0) : std::min(from, s->height - 1);
    to = step > 0 ? std::min(to, s->height - 1) : std::max(to, 0);
    for (int row = from; (to - row) * step >= 0; row += step) {
        if (!HoldColumn(s, row, to, step))
            return SearchFailed;
        if (!IsTagged(s, row))
            continue;
        if (!matching)
            return row;
        if (!HoldText(s, row, to, step))
            return SearchFailed;
        if (CommandMatches(s->filter, &s->cells[(row - s->cellsTop) * s->width], s->width))
            return row;
    }
    return NoRow;
}

// The rules of the unfiltered search and copy, among the matching rows.
// Nothing from the line's first row down can match: it is the line being
// typed, or a stale tag.
struct MatchWalk {
    RowSearch search;
    int top; // the window's
    int bottom;
    int highest; // the last row that can match
};

void StartMatchWalk(MatchWalk* w, HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info,
                    const CommandFilter* filter)
{
    w->search.console = console;
    w->search.height = info->dwSize.Y;
    w->search.width = info->dwSize.X;
    w->search.filter = filter;
    w->search.columnTop = 0;
    w->search.columnBottom = -1;
    w->search.cellsTop = 0;
    w->search.cellsBottom = -1;
    w->top = info->srWindow.Top;
    w->bottom = info->srWindow.Bottom;
    w->highest = filter->lineRow - 1;
}

// The nearest match at or above row.
int MatchUpFrom(MatchWalk* w, int row)
{
    return NearestTaggedRow(&w->search, std::min(row, w->highest), 0, -1, true);
}

// The nearest match from row down to last.
int MatchDownFrom(MatchWalk* w, int row, int last)
{
    return NearestTaggedRow(&w->search, row, std::min(last, w->highest), 1, true);
}

int Found(int row)
{
    return row >= 0 ? row : -1;
}

int BackRow(MatchWalk* w)
{
    int prev = MatchUpFrom(w, w->top - 1);
    if (prev != NoRow || !Settings.Wrap) // a match, or a failed read
        return Found(prev);
    // The last match: none lies above the window.
    return Found(NearestTaggedRow(&w->search, w->highest, w->top, -1, true));
}

int ForwardRow(MatchWalk* w, const CONSOLE_SCREEN_BUFFER_INFO* info)
{
    int next = MatchDownFrom(w, w->top + 1, w->highest);
    if (next == SearchFailed)
        return -1;
    // The first match, which then lies at or above the window's top.
    if (next == NoRow)
        return Settings.Wrap ? Found(MatchDownFrom(w, 0, w->top)) : -1;
    if (next > 0 && WindowTopFor(info, next) == w->top)
        return Settings.Wrap ? Found(MatchDownFrom(w, 0, next)) : -1;
    return next;
}

} // namespace

int FindMatchingRow(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info, bool back, const CommandFilter* filter)
{
    MatchWalk walk;
    StartMatchWalk(&walk, console, info, filter);
    return back ? BackRow(&walk) : ForwardRow(&walk, info);
}

// The last matching command above the line when the prompt is on screen,
// else the first in the window, else the last above it; its output ends at
// the next command of any kind.
bool FindMatchingCommand(HANDLE console, const CONSOLE_SCREEN_BUFFER_INFO* info, const CommandFilter* filter,
                         int* command, int* end)
{
    MatchWalk walk;
    StartMatchWalk(&walk, console, info, filter);
    int cursor = info->dwCursorPosition.Y;
    if (cursor >= walk.top && cursor <= walk.bottom) {
        *command = MatchUpFrom(&walk, walk.highest);
    } else {
        *command = MatchDownFrom(&walk, walk.top, walk.bottom);
        if (*command == NoRow)
            *command = MatchUpFrom(&walk, walk.top - 1);
    }
    if (*command < 0)
        return false;
    *end = NearestTaggedRow(&walk.search, *command + 1, filter->lineRow, 1, false);
    return *end != SearchFailed;
}
