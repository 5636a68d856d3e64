// The scene of the find-by-typing benchmarks, and the plain reads a press
// is set against. Both benchmarks include it, the native one on the
// stand-in (tests/bench/typed_filter_bench.cpp) and the Wine one on the
// real console (tests/wine/wine_bench.cpp), so that both time the same
// reads through the same Windows names.
//
// The scene: 9,001 rows of 120 columns, the window the last 30 of them, a
// command every 9 rows from row 0 reading "C:\src>cmd 0001" and on, and
// the line being typed on the last row after the same prompt.
#pragma once

#include "plugin/platform.h"

namespace typed_scene {

enum {
    Rows = 9001,
    Columns = 120,
    WindowRows = 30,
    WindowTop = Rows - WindowRows,
    TypingRow = Rows - 1,
    CommandSpacing = 9,
    // Every row above the typing row whose number the spacing divides.
    Commands = (TypingRow - 1) / CommandSpacing + 1,
    // The command a back press reaches first: the last above the window.
    NearestCommand = (WindowTop - 1) / CommandSpacing + 1,
    SparseTags = 10,
    // How the plug-in reads (MarkerBlockRows and CellBlockCells in
    // navigation/navigation.h): column 0 a block of rows at a time, and
    // cells at most this many a read.
    ColumnBlockRows = 512,
    CellsPerRead = 8192,
};

// Which commands carry a tag: all, or SparseTags of them evenly apart, the
// last command among them.
enum class Tagging { EveryCommand, Sparse };

inline bool IsTagged(Tagging tagging, int command)
{
    return tagging == Tagging::EveryCommand || command % (Commands / SparseTags) == 0;
}

// Commands count from 1 at row 0.
inline int CommandRow(int command)
{
    return (command - 1) * CommandSpacing;
}

// A line of the scene, short enough for the stack.
struct SceneText {
    WCHAR text[24];
    int length;
};

inline void Append(SceneText* line, const WCHAR* text)
{
    while (*text)
        line->text[line->length++] = *text++;
}

inline SceneText Prompt()
{
    SceneText line = {{0}, 0};
    Append(&line, TEXT("C:\\src>"));
    return line;
}

// What a command's line holds after the prompt: "cmd 0997".
inline SceneText TypedCommand(int command)
{
    SceneText line = {{0}, 0};
    Append(&line, TEXT("cmd "));
    for (int unit = 1000; unit > 0; unit /= 10)
        line.text[line.length++] = (WCHAR)('0' + command / unit % 10);
    return line;
}

inline SceneText CommandLine(int command)
{
    SceneText line = Prompt();
    SceneText typed = TypedCommand(command);
    for (int i = 0; i < typed.length; ++i)
        line.text[line.length++] = typed.text[i];
    return line;
}

// ---- the reads a press is set against ------------------------------------------
// Each gives the number of tagged rows it saw, or -1 when a read failed.

inline bool ReadCells(HANDLE console, CHAR_INFO* cells, int columns, int top, int bottom)
{
    COORD size = {(SHORT)columns, (SHORT)(bottom - top + 1)};
    COORD origin = {0, 0};
    SMALL_RECT region = {0, (SHORT)top, (SHORT)(columns - 1), (SHORT)bottom};
    return ReadConsoleOutputW(console, cells, size, origin, &region) != FALSE;
}

// Column 0 of the whole buffer a block at a time, as an unfiltered press
// reads it, calling visit(row) for each tagged row.
template <typename Visit>
int ScanColumn(HANDLE console, int rows, WORD marker, Visit visit)
{
    CHAR_INFO block[ColumnBlockRows];
    int tagged = 0;
    for (int top = 0; top < rows; top += ColumnBlockRows) {
        int bottom = top + ColumnBlockRows - 1 < rows ? top + ColumnBlockRows - 1 : rows - 1;
        if (!ReadCells(console, block, 1, top, bottom))
            return -1;
        for (int row = top; row <= bottom; ++row) {
            if ((block[row - top].Attributes & marker) == 0)
                continue;
            if (!visit(row))
                return -1;
            ++tagged;
        }
    }
    return tagged;
}

// (a) The column alone.
inline int BareColumnScan(HANDLE console, int rows, WORD marker)
{
    return ScanColumn(console, rows, marker, [](int) { return true; });
}

// (b) The column, and each tagged row's cells in a read of its own.
inline int ScanAndReadEachTaggedRow(HANDLE console, int rows, int columns, WORD marker)
{
    CHAR_INFO cells[CellsPerRead];
    return ScanColumn(console, rows, marker,
                      [&](int row) { return ReadCells(console, cells, columns, row, row); });
}

// (c) The column, and then every row of the buffer, as many whole rows a
// read as CellsPerRead allows.
inline int ScanAndReadEveryRow(HANDLE console, int rows, int columns, WORD marker)
{
    int tagged = BareColumnScan(console, rows, marker);
    if (tagged < 0)
        return -1;
    CHAR_INFO cells[CellsPerRead];
    int rowsPerRead = CellsPerRead / columns;
    for (int top = 0; top < rows; top += rowsPerRead) {
        int bottom = top + rowsPerRead - 1 < rows ? top + rowsPerRead - 1 : rows - 1;
        if (!ReadCells(console, cells, columns, top, bottom))
            return -1;
    }
    return tagged;
}

} // namespace typed_scene
