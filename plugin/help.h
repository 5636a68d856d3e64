// The command's help text and the table Help and Usage look names up in.
#pragma once

#include "plugin/platform.h"

enum {
    HelpTextLength = 558,
    CommandNameLength = 10,
};

extern const WCHAR HelpText[HelpTextLength + 1];

struct CommandEntry {
    WCHAR name[CommandNameLength + 1];
    const WCHAR* helpText;
};

extern const CommandEntry CommandTable[1];
