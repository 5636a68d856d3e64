// The two constant key tables, one per host generation, their aliases, and
// the modifier prefixes that name their columns.
#pragma once

#include "plugin/state.h"

enum {
    ClassicKeyRows = 74,
    ClassicKeyColumns = 6,
    ClassicNameLength = 8,
    ClassicAliasCount = 17,
    ExtendedKeyRows = 72,
    ExtendedKeyColumns = 7,
    ExtendedNameLength = 10,
    ExtendedAliasCount = 25,
    AliasLength = 16,
    PrefixLength = 16,
};

// One view over either table, so that lookups are written once.
struct KeyTableView {
    int rows;
    int columns;
    int aliasCount;
    const WCHAR* (*keyName)(int row);
    KeyCode (*code)(int row, int column);
    const WCHAR* (*aliasName)(int index);
    const WCHAR* (*aliasTarget)(int index);
};

extern const WCHAR ModifierPrefixes[7][PrefixLength];

// The table selected by Settings.useExtendedKeys, looked up on every call.
const KeyTableView& KeyTableInForce();
const KeyTableView& ClassicKeyTableView();
const KeyTableView& ExtendedKeyTableView();

// 1 when code is positive and stands in a cell of the table in force.
int IsValidHotkey(KeyCode code);
