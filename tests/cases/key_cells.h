// Every cell of both key tables as the user meets it through the command:
// a key combination that can be a hotkey ('+'), one that cannot ('I',
// "Invalid hotkey") and one that is not allowed ('N', "Key not allowed").
// Written down from the host's key tables, independently of the plug-in's
// own copy, so that a changed cell shows.
#pragma once

#include <string>

#include "tests/cases/case_text.h"

struct KeyCells {
    const WCHAR* name;
    const char* cells; // one per modifier column
};

// The modifier columns' names, in column order.
const WCHAR* const ColumnPrefixes[] = {
    TEXT(""),           TEXT("Shift-"),    TEXT("Ctrl-"),           TEXT("Alt-"),
    TEXT("Ctrl-Shift-"), TEXT("Ctrl-Alt-"), TEXT("Ctrl-Alt-Shift-"),
};

// Hosts up to version 23: six columns, no Ctrl-Alt-Shift.
const KeyCells ClassicCells[] = {
    {TEXT("F1"),      "++++++"},
    {TEXT("F2"),      "++++++"},
    {TEXT("F3"),      "++++++"},
    {TEXT("F4"),      "++++++"},
    {TEXT("F5"),      "++++++"},
    {TEXT("F6"),      "++++++"},
    {TEXT("F7"),      "++++++"},
    {TEXT("F8"),      "++++++"},
    {TEXT("F9"),      "++++++"},
    {TEXT("F10"),     "++++++"},
    {TEXT("F11"),     "++++++"},
    {TEXT("F12"),     "++++++"},
    {TEXT("Home"),    "+++I++"},
    {TEXT("End"),     "+++I++"},
    {TEXT("PgUp"),    "+I+I++"},
    {TEXT("PgDn"),    "+I+I++"},
    {TEXT("Ins"),     "+III++"},
    {TEXT("Del"),     "+I+I+I"},
    {TEXT("Up"),      "+I+I++"},
    {TEXT("Down"),    "+I+I++"},
    {TEXT("Left"),    "++++++"},
    {TEXT("Right"),   "++++++"},
    {TEXT("A"),       "NN++++"},
    {TEXT("B"),       "NN++++"},
    {TEXT("C"),       "NNI+I+"},
    {TEXT("D"),       "NN++++"},
    {TEXT("E"),       "NN++++"},
    {TEXT("F"),       "NN++++"},
    {TEXT("G"),       "NN++++"},
    {TEXT("H"),       "NN++++"},
    {TEXT("I"),       "NN++I+"},
    {TEXT("J"),       "NN++++"},
    {TEXT("K"),       "NN++++"},
    {TEXT("L"),       "NN++++"},
    {TEXT("M"),       "NNI+++"},
    {TEXT("N"),       "NN++++"},
    {TEXT("O"),       "NN++++"},
    {TEXT("P"),       "NN++++"},
    {TEXT("Q"),       "NN++++"},
    {TEXT("R"),       "NN++++"},
    {TEXT("S"),       "NNI+I+"},
    {TEXT("T"),       "NN++++"},
    {TEXT("U"),       "NN++++"},
    {TEXT("V"),       "NN++++"},
    {TEXT("W"),       "NN++++"},
    {TEXT("X"),       "NN++++"},
    {TEXT("Y"),       "NN++++"},
    {TEXT("Z"),       "NN++++"},
    {TEXT("1"),       "NNI+II"},
    {TEXT("2"),       "NNI+II"},
    {TEXT("3"),       "NNI+II"},
    {TEXT("4"),       "NNI+II"},
    {TEXT("5"),       "NNI+II"},
    {TEXT("6"),       "NNI+II"},
    {TEXT("7"),       "NNI+II"},
    {TEXT("8"),       "NNI+II"},
    {TEXT("9"),       "NNI+II"},
    {TEXT("0"),       "NNI+II"},
    {TEXT("BkSp"),    "NI++++"},
    {TEXT("Grave"),   "NNI+++"},
    {TEXT("-"),       "NNI+II"},
    {TEXT("="),       "NNI+II"},
    {TEXT("["),       "NNI+I+"},
    {TEXT("]"),       "NNI+I+"},
    {TEXT("\\"),      "NN++I+"},
    {TEXT(";"),       "NNI+I+"},
    {TEXT("'"),       "NNI+I+"},
    {TEXT(","),       "NNI+I+"},
    {TEXT("."),       "NNI+I+"},
    {TEXT("/"),       "NNI+I+"},
    {TEXT("Num/"),    "NNII+I"},
    {TEXT("Num*"),    "NN++++"},
    {TEXT("Num-"),    "NN+N++"},
    {TEXT("Num+"),    "NN+N++"},
};

// Hosts above version 23.
const KeyCells ExtendedCells[] = {
    {TEXT("F1"),      "+++++++"},
    {TEXT("F2"),      "+++++++"},
    {TEXT("F3"),      "+++++++"},
    {TEXT("F4"),      "+++++++"},
    {TEXT("F5"),      "+++++++"},
    {TEXT("F6"),      "+++++++"},
    {TEXT("F7"),      "+++++++"},
    {TEXT("F8"),      "+++++++"},
    {TEXT("F9"),      "+++++++"},
    {TEXT("F10"),     "+++++++"},
    {TEXT("F11"),     "+++++++"},
    {TEXT("F12"),     "+++++++"},
    {TEXT("Home"),    "+++I+++"},
    {TEXT("End"),     "+++I+++"},
    {TEXT("PgUp"),    "+I+I+++"},
    {TEXT("PgDn"),    "+I+I+++"},
    {TEXT("Ins"),     "+III+++"},
    {TEXT("Del"),     "+I+I+I+"},
    {TEXT("Up"),      "+I+I+++"},
    {TEXT("Down"),    "+I+I+++"},
    {TEXT("Left"),    "+++++++"},
    {TEXT("Right"),   "+++++++"},
    {TEXT("A"),       "NN+++++"},
    {TEXT("B"),       "NN+++++"},
    {TEXT("C"),       "NNI+I++"},
    {TEXT("D"),       "NN+++++"},
    {TEXT("E"),       "NN+++++"},
    {TEXT("F"),       "NN+++++"},
    {TEXT("G"),       "NN+++++"},
    {TEXT("H"),       "NN+++++"},
    {TEXT("I"),       "NN++I++"},
    {TEXT("J"),       "NN+++++"},
    {TEXT("K"),       "NN+++++"},
    {TEXT("L"),       "NN+++++"},
    {TEXT("M"),       "NN+++++"},
    {TEXT("N"),       "NN+++++"},
    {TEXT("O"),       "NN+++++"},
    {TEXT("P"),       "NN+++++"},
    {TEXT("Q"),       "NN+++++"},
    {TEXT("R"),       "NN+++++"},
    {TEXT("S"),       "NNI+I++"},
    {TEXT("T"),       "NN+++++"},
    {TEXT("U"),       "NN+++++"},
    {TEXT("V"),       "NN+++++"},
    {TEXT("W"),       "NN+++++"},
    {TEXT("X"),       "NN+++++"},
    {TEXT("Y"),       "NN+++++"},
    {TEXT("Z"),       "NN+++++"},
    {TEXT("1"),       "NN+++++"},
    {TEXT("2"),       "NN+++++"},
    {TEXT("3"),       "NN+++++"},
    {TEXT("4"),       "NN+++++"},
    {TEXT("5"),       "NN+++++"},
    {TEXT("6"),       "NN+++++"},
    {TEXT("7"),       "NN+++++"},
    {TEXT("8"),       "NN+++++"},
    {TEXT("9"),       "NN+++++"},
    {TEXT("0"),       "NN+++++"},
    {TEXT("Backspace"), "N++++++"},
    {TEXT("`"),       "NN+++++"},
    {TEXT("Minus"),   "NN+++++"},
    {TEXT("Plus"),    "NN+++++"},
    {TEXT("Enter"),   "N++I+++"},
    {TEXT("["),       "NN+++++"},
    {TEXT("]"),       "NN+++++"},
    {TEXT("\\"),      "NN+++++"},
    {TEXT("Divide"),  "NN+++++"},
    {TEXT("*"),       "NN+++++"},
    {TEXT(";"),       "NN+++++"},
    {TEXT("'"),       "NN+++++"},
    {TEXT(","),       "NN+++++"},
    {TEXT("Decimal"), "NN+++++"},
};

// What "mirvane /L" writes for a table: one line a row, the names of its
// '+' cells three spaces apart, each line and its line end two writes.
inline Writes Listing(const KeyCells* rows, size_t count)
{
    Writes writes;
    for (size_t r = 0; r < count; ++r) {
        Text line;
        for (size_t column = 0; rows[r].cells[column]; ++column) {
            if (rows[r].cells[column] != '+')
                continue;
            if (!line.empty())
                line += TEXT("   ");
            line += Text(ColumnPrefixes[column]) + rows[r].name;
        }
        writes.push_back(Out(line));
        writes.push_back(Out(TEXT("\r\n")));
    }
    return writes;
}

template <size_t N>
Writes Listing(const KeyCells (&table)[N])
{
    return Listing(table, N);
}
