// Key names such as "Ctrl-Alt-Up" to codes and back, over the table in
// force. The keystroke hook parses names for every keystroke a newer host
// delivers by name, so everything here is a plain scan over fixed buffers.
#include "hotkeys/key_names.h"

#include "host/host_api.h"
#include "hotkeys/key_tables.h"
#include "plugin/text.h"

namespace {

enum {
    ShiftBit = 1,
    CtrlBit = 2,
    AltBit = 4,
    // A token keeps this many units; the rest of an over-long token is
    // dropped, so it can only fail to match.
    TokenLimit = TextBufferLength - 1,
};

struct ModifierWord {
    const WCHAR* word;
    int bit;
};

constexpr ModifierWord ModifierWords[] = {
    {TEXT("s"), ShiftBit},
    {TEXT("shift"), ShiftBit},
    {TEXT("c"), CtrlBit},
    {TEXT("ctl"), CtrlBit},
    {TEXT("ctrl"), CtrlBit},
    {TEXT("control"), CtrlBit},
    {TEXT("a"), AltBit},
    {TEXT("alt"), AltBit},
};

// Indexed by modifier mask. Shift with Alt has no column in either table;
// Ctrl-Alt-Shift (column 6) exists only in the table with seven columns.
constexpr int ColumnOfMask[8] = {0, 1, 2, 4, 3, -1, 5, 6};

int ModifierBit(const WCHAR* token)
{
    for (const ModifierWord& modifier : ModifierWords) {
        if (TextEqualsNoCase(token, modifier.word))
            return modifier.bit;
    }
    return 0;
}

int ColumnFor(int mask, const KeyTable& table)
{
    int column = ColumnOfMask[mask];
    return column < table.columns ? column : -1;
}

// No alias is spelt like a key name or targets another alias, so at most
// one replacement happens.
const WCHAR* ResolveAlias(const WCHAR* key, const KeyTable& table)
{
    for (int index = 0; index < table.aliasCount; ++index) {
        if (TextEqualsNoCase(key, table.aliasName(index)))
            key = table.aliasTarget(index);
    }
    return key;
}

KeyCode CodeOfKey(const WCHAR* key, int column, const KeyTable& table)
{
    for (int row = 0; row < table.rows; ++row) {
        if (TextEqualsNoCase(key, table.keyName(row)))
            return table.code(row, column);
    }
    return 0;
}

void AppendEntry(WCHAR* line, int column, const WCHAR* keyName)
{
    if (line[0])
        TextAppend(line, TextBufferLength, TEXT("   "));
    TextAppend(line, TextBufferLength, ModifierPrefixes[column]);
    TextAppend(line, TextBufferLength, keyName);
}

} // namespace

KeyCode KeyNameToCode(const WCHAR* text)
{
    if (!text)
        return 0;
    WCHAR token[TextBufferLength];
    int length = 0;
    int mask = 0;
    for (; *text; ++text) {
        // A "-" that would open a token is the key "-" itself, so "Alt--"
        // is Alt with the minus key.
        if (*text == '-' && length > 0) {
            token[length] = 0;
            int bit = ModifierBit(token);
            if (!bit)
                return 0;
            mask |= bit;
            length = 0;
            continue;
        }
        if (length < TokenLimit)
            token[length++] = *text;
    }
    if (length == 0)
        return 0;
    token[length] = 0;

    const KeyTable& table = KeyTableInForce();
    int column = ColumnFor(mask, table);
    if (column < 0)
        return 0;
    return CodeOfKey(ResolveAlias(token, table), column, table);
}

bool KeyCodeToName(KeyCode code, WCHAR* name, size_t capacity)
{
    if (code == 0) {
        TextCopy(name, capacity, TEXT("None"));
        return true;
    }
    // The negative markers stand in cells too, but they name no keystroke.
    const KeyTable& table = KeyTableInForce();
    int foundRow = -1;
    int foundColumn = -1;
    for (int row = 0; code > 0 && row < table.rows; ++row) {
        for (int column = 0; column < table.columns; ++column) {
            if (table.code(row, column) != code)
                continue;
            // The last cell wins: a duplicated code takes the later row's name.
            foundRow = row;
            foundColumn = column;
        }
    }
    if (foundRow < 0) {
        TextCopy(name, capacity, TEXT("(unknown)"));
        return false;
    }
    TextCopy(name, capacity, ModifierPrefixes[foundColumn]);
    TextAppend(name, capacity, table.keyName(foundRow));
    return true;
}

void ListHotkeys(void)
{
    const KeyTable& table = KeyTableInForce();
    WCHAR line[TextBufferLength];
    for (int row = 0; row < table.rows; ++row) {
        line[0] = 0;
        for (int column = 0; column < table.columns; ++column) {
            KeyCode code = table.code(row, column);
            if (code > 0 && !EntersTheLine(code))
                AppendEntry(line, column, table.keyName(row));
        }
        QPuts(line);
        QPuts(TEXT("\r\n"));
    }
}
