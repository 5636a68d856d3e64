// The stand-in for the host TakeCmd.dll: the five functions the plug-in
// imports, plus a C interface through which tests set host variables and
// read back everything the plug-in printed. The same source is the native
// build's host and, compiled with mingw, the TakeCmd.dll the Wine driver loads.
#pragma once

#include "plugin/platform.h"

enum HostChannel {
    HostStdout = 1,
    HostStderr = 2,
    HostOtherHandle = 3, // Qprintf to a handle that is neither standard handle
};

extern "C" {
// Forgets every variable, write and expansion, and puts the expansion
// capacity back to 1024 and terminated; sets "_transient" "0", "_pipe" "0",
// "_batch" "0" and "_4ver" "24.0" so that a plug-in starts. Holds no memory
// afterwards.
void HostReset(void);
// value null removes the variable. Names are without "%" and brackets.
void HostSetVariable(const WCHAR* name, const WCHAR* value);
// ExpandVariables cannot know the plug-in's buffer size; it keeps its
// result to this many units including the terminator (default 1024).
void HostSetExpandCapacity(int units);
// on 1: a result of capacity units or more fills all of them and gets no
// terminator, as a host that fills the buffer to the brim would leave it.
// Shorter results are terminated as usual.
void HostSetExpandUnterminated(int on);

// on 1: every write is also put on the real console (or the file a
// standard handle is redirected to) as it happens, so that a person can
// watch a session. Off by default, and kept across HostReset. Only the
// Windows build has a console to write to; elsewhere this only records it.
void HostSetEcho(int on);
// Writes text to a real handle: UTF-16 to a console, UTF-8 elsewhere. The
// session prints its own lines with it too. Does nothing natively.
void HostPrint(HANDLE output, const WCHAR* text, int length);

// Every write in order: its channel and its text after formatting.
int HostWriteCount(void);
const WCHAR* HostWriteText(int index);
int HostWriteChannel(int index);
// Everything written to one channel, concatenated.
const WCHAR* HostOutput(int channel);

// The texts ExpandVariables was given, in order.
int HostExpandCount(void);
const WCHAR* HostExpandInput(int index);
}
