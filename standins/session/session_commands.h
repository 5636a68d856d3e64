// What the session does with a finished command line.
#pragma once

#include <windows.h>

#include "standins/session/session_plugin.h"

enum SessionOutcome {
    SessionContinue,
    SessionExit,
};

SessionOutcome RunCommandLine(const SessionPlugin& plugin, const WCHAR* line);

// The text of the built-in help, also shown at the start.
void PrintSessionHelp(void);
