// Start-up: the shell test, the version probes, the settings in force and
// the load message.
#pragma once

// The whole start-up sequence; false when the shell is one the plug-in must
// not run in, and then nothing has changed.
bool StartPlugin(void);
