// What the session does with a finished command line.
#pragma once

#include <windows.h>

#include "standins/session/session_plugin.h"

enum SessionOutcome {
    SessionContinue,
    SessionExit,
};

#include <string>

// note: anything the command has for the session's log ("paste" puts the
// text it printed there).
SessionOutcome RunCommandLine(const SessionPlugin& plugin, const WCHAR* line, std::wstring* note);

// The text of the built-in help, also shown at the start.
void PrintSessionHelp(void);
