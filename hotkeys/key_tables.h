// The two constant key tables, one per host generation, their aliases, and
// the modifier prefixes that name their columns.
#pragma once

#include "plugin/state.h"

enum {
    ClassicKeyColumns = 6,
    ExtendedKeyColumns = 7,
    MaxKeyColumns = 7,
    KeyNameLength = 10, // the classic names need 8, the extended ones 10
    AliasLength = 16,
    PrefixLength = 16,
};

struct KeyRow {
    WCHAR name[KeyNameLength];
    KeyCode codes[MaxKeyColumns]; // the classic table fills the first six
};

struct KeyAlias {
    WCHAR alias[AliasLength];
    WCHAR target[KeyNameLength]; // a key name of the same table
};

struct KeyTable {
    int rows;
    int columns;
    int aliasCount;
    const KeyRow* keys;
    const KeyAlias* aliases;

    const WCHAR* keyName(int row) const { return keys[row].name; }
    KeyCode code(int row, int column) const { return keys[row].codes[column]; }
    const WCHAR* aliasName(int index) const { return aliases[index].alias; }
    const WCHAR* aliasTarget(int index) const { return aliases[index].target; }
};

// Hosts up to version 23, and hosts above.
extern const KeyTable ClassicKeyTable;
extern const KeyTable ExtendedKeyTable;

extern const WCHAR ModifierPrefixes[MaxKeyColumns][PrefixLength];

// The table selected by Startup.useExtendedKeys, looked up on every call.
const KeyTable& KeyTableInForce();

// A positive code that stands in a cell of the table in force.
bool IsValidHotkey(KeyCode code);

// The host's codes for an entered line, under either generation.
enum : KeyCode {
    EnterCode = 13,
    CtrlEnterCode = 0xC0D, // Ctrl-Enter as the newer host numbers it
};

// A valid hotkey that could never fire: the keystroke handler takes the
// host's code for an entered line before it looks at any hotkey.
bool EntersTheLine(KeyCode hotkey);
