// Both key tables as the host numbers its keystrokes, written down
// independently of the plug-in's own copy, so that a changed cell shows:
// each cell the host's code with the modifier flags, -1 for a combination
// that cannot be a hotkey ("Invalid hotkey"), -2 for one that is not
// allowed ("Key not allowed").
#pragma once

#include <stdint.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/cases/case_text.h"

enum { InvalidCell = -1, NotAllowedCell = -2 };

struct KeyCells {
    const WCHAR* name;
    int32_t codes[7]; // by modifier column; the classic table has six, and 0 ends a row
};

// The modifier columns' names, in column order.
const WCHAR* const ColumnPrefixes[] = {
    TEXT(""),           TEXT("Shift-"),    TEXT("Ctrl-"),           TEXT("Alt-"),
    TEXT("Ctrl-Shift-"), TEXT("Ctrl-Alt-"), TEXT("Ctrl-Alt-Shift-"),
};

// Hosts up to version 23: six columns, no Ctrl-Alt-Shift.
//                        none    Shift     Ctrl      Alt  C-Shift    C-Alt
const KeyCells ClassicCells[] = {
    {TEXT("F1"),        {0x1003B, 0x10054, 0x1005E, 0x10068, 0x30054, 0x5005E}},
    {TEXT("F2"),        {0x1003C, 0x10055, 0x1005F, 0x10069, 0x30055, 0x5005F}},
    {TEXT("F3"),        {0x1003D, 0x10056, 0x10060, 0x1006A, 0x30056, 0x50060}},
    {TEXT("F4"),        {0x1003E, 0x10057, 0x10061, 0x1006B, 0x30057, 0x50061}},
    {TEXT("F5"),        {0x1003F, 0x10058, 0x10062, 0x1006C, 0x30058, 0x50062}},
    {TEXT("F6"),        {0x10040, 0x10059, 0x10063, 0x1006D, 0x30059, 0x50063}},
    {TEXT("F7"),        {0x10041, 0x1005A, 0x10064, 0x1006E, 0x3005A, 0x50064}},
    {TEXT("F8"),        {0x10042, 0x1005B, 0x10065, 0x1006F, 0x3005B, 0x50065}},
    {TEXT("F9"),        {0x10043, 0x1005C, 0x10066, 0x10070, 0x3005C, 0x50066}},
    {TEXT("F10"),       {0x10044, 0x1005D, 0x10067, 0x10071, 0x3005D, 0x50067}},
    {TEXT("F11"),       {0x10085, 0x10087, 0x10089, 0x1008B, 0x30087, 0x50089}},
    {TEXT("F12"),       {0x10086, 0x10088, 0x1008A, 0x1008C, 0x30088, 0x5008A}},
    {TEXT("Home"),      {0x10047, 0x100CA, 0x10077,      -1, 0x300CA, 0x50077}},
    {TEXT("End"),       {0x1004F, 0x100CB, 0x10075,      -1, 0x300CB, 0x50075}},
    {TEXT("PgUp"),      {0x10049,      -1, 0x10084,      -1, 0x30049, 0x50084}},
    {TEXT("PgDn"),      {0x10051,      -1, 0x10076,      -1, 0x30051, 0x50076}},
    {TEXT("Ins"),       {0x10052,      -1,      -1,      -1, 0x30052, 0x50092}},
    {TEXT("Del"),       {0x10053,      -1, 0x10093,      -1, 0x30053,      -1}},
    {TEXT("Up"),        {0x10048,      -1, 0x1008D,      -1, 0x30048, 0x5008D}},
    {TEXT("Down"),      {0x10050,      -1, 0x10091,      -1, 0x30050, 0x50091}},
    {TEXT("Left"),      {0x1004B, 0x100C8, 0x10073, 0x100F4, 0x300CC, 0x50073}},
    {TEXT("Right"),     {0x1004D, 0x100C9, 0x10074, 0x100F6, 0x300CD, 0x50074}},
    {TEXT("A"),         {     -2,      -2,     0x1, 0x1001E, 0x20001, 0x5001E}},
    {TEXT("B"),         {     -2,      -2,     0x2, 0x10030, 0x20002, 0x50030}},
    {TEXT("C"),         {     -2,      -2,      -1, 0x1002E,      -1, 0x5002E}},
    {TEXT("D"),         {     -2,      -2,     0x4, 0x10020, 0x20004, 0x50020}},
    {TEXT("E"),         {     -2,      -2,     0x5, 0x10012, 0x20005, 0x50012}},
    {TEXT("F"),         {     -2,      -2,     0x6, 0x10021, 0x20006, 0x50021}},
    {TEXT("G"),         {     -2,      -2,     0x7, 0x10022, 0x20007, 0x50022}},
    {TEXT("H"),         {     -2,      -2,     0x8, 0x10023, 0x20008, 0x50023}},
    {TEXT("I"),         {     -2,      -2,     0x9, 0x10017,      -1, 0x50017}},
    {TEXT("J"),         {     -2,      -2,     0xA, 0x10024, 0x2000A, 0x50024}},
    {TEXT("K"),         {     -2,      -2,     0xB, 0x10025, 0x2000B, 0x50025}},
    {TEXT("L"),         {     -2,      -2,     0xC, 0x10026, 0x2000C, 0x50026}},
    {TEXT("M"),         {     -2,      -2,      -1, 0x10032, 0x2000D, 0x50032}},
    {TEXT("N"),         {     -2,      -2,     0xE, 0x10031, 0x2000E, 0x50031}},
    {TEXT("O"),         {     -2,      -2,     0xF, 0x10018, 0x2000F, 0x50018}},
    {TEXT("P"),         {     -2,      -2,    0x10, 0x10019, 0x20010, 0x50019}},
    {TEXT("Q"),         {     -2,      -2,    0x11, 0x10010, 0x20011, 0x50010}},
    {TEXT("R"),         {     -2,      -2,    0x12, 0x10013, 0x20012, 0x50013}},
    {TEXT("S"),         {     -2,      -2,      -1, 0x1001F,      -1, 0x5001F}},
    {TEXT("T"),         {     -2,      -2,    0x14, 0x10014, 0x20014, 0x50014}},
    {TEXT("U"),         {     -2,      -2,    0x15, 0x10016, 0x20015, 0x50016}},
    {TEXT("V"),         {     -2,      -2,    0x16, 0x1002F, 0x20016, 0x5002F}},
    {TEXT("W"),         {     -2,      -2,    0x17, 0x10011, 0x20017, 0x50011}},
    {TEXT("X"),         {     -2,      -2,    0x18, 0x1002D, 0x20018, 0x5002D}},
    {TEXT("Y"),         {     -2,      -2,    0x19, 0x10015, 0x20019, 0x50015}},
    {TEXT("Z"),         {     -2,      -2,    0x1A, 0x1002C, 0x2001A, 0x5002C}},
    {TEXT("1"),         {     -2,      -2,      -1, 0x100E2,      -1,      -1}},
    {TEXT("2"),         {     -2,      -2,      -1, 0x100E3,      -1,      -1}},
    {TEXT("3"),         {     -2,      -2,      -1, 0x100E4,      -1,      -1}},
    {TEXT("4"),         {     -2,      -2,      -1, 0x100E5,      -1,      -1}},
    {TEXT("5"),         {     -2,      -2,      -1, 0x100E6,      -1,      -1}},
    {TEXT("6"),         {     -2,      -2,      -1, 0x100E7,      -1,      -1}},
    {TEXT("7"),         {     -2,      -2,      -1, 0x100E8,      -1,      -1}},
    {TEXT("8"),         {     -2,      -2,      -1, 0x100E9,      -1,      -1}},
    {TEXT("9"),         {     -2,      -2,      -1, 0x100EA,      -1,      -1}},
    {TEXT("0"),         {     -2,      -2,      -1, 0x100EB,      -1,      -1}},
    {TEXT("BkSp"),      {     -2,      -1,    0x7F, 0x1000E, 0x3000E, 0x5000E}},
    {TEXT("Grave"),     {     -2,      -2,      -1, 0x10029, 0x30029, 0x50029}},
    {TEXT("-"),         {     -2,      -2,      -1, 0x10082,      -1,      -1}},
    {TEXT("="),         {     -2,      -2,      -1, 0x10083,      -1,      -1}},
    {TEXT("["),         {     -2,      -2,      -1, 0x1001A,      -1, 0x5001A}},
    {TEXT("]"),         {     -2,      -2,      -1, 0x1001B,      -1, 0x5001B}},
    {TEXT("\\"),        {     -2,      -2,    0x1C, 0x1002B,      -1, 0x5002B}},
    {TEXT(";"),         {     -2,      -2,      -1, 0x10027,      -1, 0x50027}},
    {TEXT("'"),         {     -2,      -2,      -1, 0x10028,      -1, 0x50028}},
    {TEXT(","),         {     -2,      -2,      -1, 0x10033,      -1, 0x50033}},
    {TEXT("."),         {     -2,      -2,      -1, 0x10034,      -1, 0x50034}},
    {TEXT("/"),         {     -2,      -2,      -1, 0x10035,      -1, 0x50035}},
    {TEXT("Num/"),      {     -2,      -2,      -1,      -1, 0x30035,      -1}},
    {TEXT("Num*"),      {     -2,      -2, 0x10037, 0x1002A, 0x30037, 0x50037}},
    {TEXT("Num-"),      {     -2,      -2, 0x1004A,      -2, 0x3004A, 0x5004A}},
    {TEXT("Num+"),      {     -2,      -2, 0x1004E,      -2, 0x3004A, 0x5004E}},
};

// Hosts above version 23.
//                        none    Shift     Ctrl      Alt  C-Shift    C-Alt  C-A-Shift
const KeyCells ExtendedCells[] = {
    {TEXT("F1"),        {0x1003B, 0x10054, 0x1005E, 0x10068, 0x30054, 0x5005E, 0x7005E}},
    {TEXT("F2"),        {0x1003C, 0x10055, 0x1005F, 0x10069, 0x30055, 0x5005F, 0x7005F}},
    {TEXT("F3"),        {0x1003D, 0x10056, 0x10060, 0x1006A, 0x30056, 0x50060, 0x70060}},
    {TEXT("F4"),        {0x1003E, 0x10057, 0x10061, 0x1006B, 0x30057, 0x50061, 0x70061}},
    {TEXT("F5"),        {0x1003F, 0x10058, 0x10062, 0x1006C, 0x30058, 0x50062, 0x70062}},
    {TEXT("F6"),        {0x10040, 0x10059, 0x10063, 0x1006D, 0x30059, 0x50063, 0x70063}},
    {TEXT("F7"),        {0x10041, 0x1005A, 0x10064, 0x1006E, 0x3005A, 0x50064, 0x70064}},
    {TEXT("F8"),        {0x10042, 0x1005B, 0x10065, 0x1006F, 0x3005B, 0x50065, 0x70065}},
    {TEXT("F9"),        {0x10043, 0x1005C, 0x10066, 0x10070, 0x3005C, 0x50066, 0x70066}},
    {TEXT("F10"),       {0x10044, 0x1005D, 0x10067, 0x10071, 0x3005D, 0x50067, 0x70067}},
    {TEXT("F11"),       {0x10085, 0x10087, 0x10089, 0x1008B, 0x30087, 0x50089, 0x70089}},
    {TEXT("F12"),       {0x10086, 0x10088, 0x1008A, 0x1008C, 0x30088, 0x5008A, 0x7008A}},
    {TEXT("Home"),      {0x10047, 0x100CA, 0x10077,      -1, 0x300CA, 0x50077, 0x70077}},
    {TEXT("End"),       {0x1004F, 0x100CB, 0x10075,      -1, 0x300CB, 0x50075, 0x70075}},
    {TEXT("PgUp"),      {0x10049,      -1, 0x10084,      -1, 0x30049, 0x50084, 0x70084}},
    {TEXT("PgDn"),      {0x10051,      -1, 0x10076,      -1, 0x30051, 0x50076, 0x70076}},
    {TEXT("Ins"),       {0x10052,      -1,      -1,      -1, 0x30052, 0x50092, 0x70092}},
    {TEXT("Del"),       {0x10053,      -1, 0x10093,      -1, 0x30053,      -1, 0x70093}},
    {TEXT("Up"),        {0x10048,      -1, 0x1008D,      -1, 0x30048, 0x5008D, 0x7008D}},
    {TEXT("Down"),      {0x10050,      -1, 0x10091,      -1, 0x30050, 0x50091, 0x70091}},
    {TEXT("Left"),      {0x1004B, 0x100C8, 0x10073, 0x100F4, 0x300CC, 0x50073, 0x70073}},
    {TEXT("Right"),     {0x1004D, 0x100C9, 0x10074, 0x100F6, 0x300CD, 0x50074, 0x70074}},
    {TEXT("A"),         {     -2,      -2,     0x1, 0x1001E, 0x20001, 0x5001E, 0x7001E}},
    {TEXT("B"),         {     -2,      -2,     0x2, 0x10030, 0x20002, 0x50030, 0x7003E}},
    {TEXT("C"),         {     -2,      -2,      -1, 0x1002E,      -1, 0x5002E, 0x7002E}},
    {TEXT("D"),         {     -2,      -2,     0x4, 0x10020, 0x20004, 0x50020, 0x70020}},
    {TEXT("E"),         {     -2,      -2,     0x5, 0x10012, 0x20005, 0x50012, 0x70012}},
    {TEXT("F"),         {     -2,      -2,     0x6, 0x10021, 0x20006, 0x50021, 0x70021}},
    {TEXT("G"),         {     -2,      -2,     0x7, 0x10022, 0x20007, 0x50022, 0x70022}},
    {TEXT("H"),         {     -2,      -2,     0x8, 0x10023, 0x20008, 0x50023, 0x70023}},
    {TEXT("I"),         {     -2,      -2,     0x9, 0x10017,      -1, 0x50017, 0x70017}},
    {TEXT("J"),         {     -2,      -2,     0xA, 0x10024, 0x2000A, 0x50024, 0x70024}},
    {TEXT("K"),         {     -2,      -2,     0xB, 0x10025, 0x2000B, 0x50025, 0x70025}},
    {TEXT("L"),         {     -2,      -2,     0xC, 0x10026, 0x2000C, 0x50026, 0x70026}},
    {TEXT("M"),         {     -2,      -2,     0xD, 0x10032, 0x2000D, 0x50032, 0x70032}},
    {TEXT("N"),         {     -2,      -2,     0xE, 0x10031, 0x2000E, 0x50031, 0x70031}},
    {TEXT("O"),         {     -2,      -2,     0xF, 0x10018, 0x2000F, 0x50018, 0x70018}},
    {TEXT("P"),         {     -2,      -2,    0x10, 0x10019, 0x20010, 0x50019, 0x70019}},
    {TEXT("Q"),         {     -2,      -2,    0x11, 0x10010, 0x20011, 0x50010, 0x70010}},
    {TEXT("R"),         {     -2,      -2,    0x12, 0x10013, 0x20012, 0x50013, 0x70013}},
    {TEXT("S"),         {     -2,      -2,      -1, 0x1001F,      -1, 0x5001F, 0x7001F}},
    {TEXT("T"),         {     -2,      -2,    0x14, 0x10014, 0x20014, 0x50014, 0x70014}},
    {TEXT("U"),         {     -2,      -2,    0x15, 0x10016, 0x20015, 0x50016, 0x70016}},
    {TEXT("V"),         {     -2,      -2,    0x16, 0x1002F, 0x20016, 0x5002F, 0x7002F}},
    {TEXT("W"),         {     -2,      -2,    0x17, 0x10011, 0x20017, 0x50011, 0x70011}},
    {TEXT("X"),         {     -2,      -2,    0x18, 0x1002D, 0x20018, 0x5002D, 0x7002D}},
    {TEXT("Y"),         {     -2,      -2,    0x19, 0x10015, 0x20019, 0x50015, 0x70015}},
    {TEXT("Z"),         {     -2,      -2,    0x1A, 0x1002C, 0x2001A, 0x5002C, 0x7002C}},
    {TEXT("1"),         {     -2,      -2,    0xE2, 0x100E2, 0x200E2, 0x500E2, 0x700E2}},
    {TEXT("2"),         {     -2,      -2,    0xE3, 0x100E3, 0x200E3, 0x500E3, 0x700E3}},
    {TEXT("3"),         {     -2,      -2,    0xE4, 0x100E4, 0x200E4, 0x500E4, 0x700E4}},
    {TEXT("4"),         {     -2,      -2,    0xE5, 0x100E5, 0x200E5, 0x500E5, 0x700E5}},
    {TEXT("5"),         {     -2,      -2,    0xE6, 0x100E6, 0x200E6, 0x500E6, 0x700E6}},
    {TEXT("6"),         {     -2,      -2,    0xE7, 0x100E7, 0x200E7, 0x500E7, 0x700E7}},
    {TEXT("7"),         {     -2,      -2,    0xE8, 0x100E8, 0x200E8, 0x500E8, 0x700E8}},
    {TEXT("8"),         {     -2,      -2,    0xE9, 0x100E9, 0x200E9, 0x500E9, 0x700E9}},
    {TEXT("9"),         {     -2,      -2,    0xEA, 0x100EA, 0x200EA, 0x500EA, 0x700EA}},
    {TEXT("0"),         {     -2,      -2,    0xEB, 0x100EB, 0x200EB, 0x500EB, 0x700EB}},
    {TEXT("Backspace"), {     -2,   0x87F,    0x7F, 0x1000E, 0x3000E, 0x5000E, 0x7000E}},
    {TEXT("`"),         {     -2,      -2,   0x860, 0x10860, 0x20860, 0x50860, 0x70860}},
    {TEXT("Minus"),     {     -2,      -2,   0x8BD, 0x108BD, 0x208BD, 0x508BD, 0x708BD}},
    {TEXT("Plus"),      {     -2,      -2,   0x8BB, 0x10083, 0x208BB, 0x508BB, 0x708BB}},
    {TEXT("Enter"),     {     -2,   0x80D,   0xC0D,      -1, 0x2080D, 0x5080D, 0x7080D}},
    {TEXT("["),         {     -2,      -2,   0x8DB, 0x1001A, 0x208DB, 0x5001A, 0x7001A}},
    {TEXT("]"),         {     -2,      -2,   0x8DD, 0x1001B, 0x208DD, 0x5001B, 0x7001B}},
    {TEXT("\\"),        {     -2,      -2,   0x8DC, 0x1002B, 0x208DC, 0x5002B, 0x7002B}},
    {TEXT("Divide"),    {     -2,      -2,   0x835, 0x10035, 0x20035, 0x50035, 0x70035}},
    {TEXT("*"),         {     -2,      -2, 0x10037, 0x1002A, 0x30037, 0x50037, 0x70037}},
    {TEXT(";"),         {     -2,      -2,   0x827, 0x10027, 0x20027, 0x50027, 0x70027}},
    {TEXT("'"),         {     -2,      -2,   0x828, 0x10028, 0x20028, 0x50028, 0x70028}},
    {TEXT(","),         {     -2,      -2,   0x833, 0x10033, 0x20033, 0x50033, 0x70033}},
    {TEXT("Decimal"),   {     -2,      -2,   0x834, 0x10034, 0x20034, 0x50034, 0x70034}},
};

// The cells whose keystroke the host delivers as an entered line's code, so
// that as a hotkey they would never fire: the older host sends Ctrl-Shift-M
// as 13; the newer one sends 13 and 0xC0D as they are.
const std::vector<Text> ClassicLineKeys = {TEXT("Ctrl-Shift-M")};
const std::vector<Text> ExtendedLineKeys = {TEXT("Ctrl-M"), TEXT("Ctrl-Enter")};

inline bool IsOneOf(const Text& name, const std::vector<Text>& names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// What "mirvane /L" writes for a table: one line a row, the names of its
// hotkeys three spaces apart, each line and its line end two writes. The
// line keys are left out.
inline Writes Listing(const KeyCells* rows, size_t count, const std::vector<Text>& lineKeys)
{
    Writes writes;
    for (size_t r = 0; r < count; ++r) {
        Text line;
        for (size_t column = 0; column < 7 && rows[r].codes[column]; ++column) {
            Text name = Text(ColumnPrefixes[column]) + rows[r].name;
            if (rows[r].codes[column] < 0 || IsOneOf(name, lineKeys))
                continue;
            if (!line.empty())
                line += TEXT("   ");
            line += name;
        }
        writes.push_back(Out(line));
        writes.push_back(Out(TEXT("\r\n")));
    }
    return writes;
}

template <size_t N>
Writes Listing(const KeyCells (&table)[N], const std::vector<Text>& lineKeys)
{
    return Listing(table, N, lineKeys);
}
