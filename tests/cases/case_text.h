// The words the cases are written in, shared by the native tests and the
// Wine driver: text in the build's own WCHAR, what the plug-in writes through
// the host, write by write, and the texts it is expected to write.
#pragma once

#include <stdio.h>

#include <ostream>
#include <string>
#include <vector>

#include "plugin/platform.h"
#include "standins/host/host_standin.h"

typedef std::basic_string<WCHAR> Text;

// Where the plug-in keeps its settings, below either root.
const WCHAR SettingsKey[] = TEXT("Software\\Kelderin\\Mirvane");

// Control characters and everything beyond ASCII spelled out, so that a
// wrong apostrophe or a missing "\r" shows in a failure message.
inline std::string Printable(const Text& text)
{
    std::string out;
    for (WCHAR c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c >= 0x20 && c < 0x7F)
            out.push_back((char)c);
        else {
            char hex[12];
            snprintf(hex, sizeof hex, "\\u%04X", (unsigned)c);
            out += hex;
        }
    }
    return out;
}

struct HostWrite {
    int channel; // HostStdout, HostStderr or HostOtherHandle
    Text text;

    bool operator==(const HostWrite& other) const
    {
        return channel == other.channel && text == other.text;
    }
};

inline void PrintTo(const HostWrite& write, std::ostream* os)
{
    const char* channel = write.channel == HostStdout   ? "out"
                          : write.channel == HostStderr ? "err"
                                                        : "other";
    *os << channel << " \"" << Printable(write.text) << "\"";
}

typedef std::vector<HostWrite> Writes;

inline HostWrite Out(const Text& text)
{
    return {HostStdout, text};
}

inline HostWrite Err(const Text& text)
{
    return {HostStderr, text};
}

inline Writes operator+(Writes first, const Writes& then)
{
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

// Every write since the host was last reset, in order.
inline Writes HostWrites()
{
    Writes writes;
    for (int i = 0; i < HostWriteCount(); ++i)
        writes.push_back({HostWriteChannel(i), HostWriteText(i)});
    return writes;
}

const Text ErrorPrefix = TEXT("Mirvane plugin: ");

// An error outside a batch file: the prefix, then the message.
inline Writes ErrorWrites(const Text& message)
{
    return {Err(ErrorPrefix), Err(message)};
}

// The user settings as the command's report names them.
struct ShownSettings {
    Text back;
    Text forward;
    bool errorSound;
    bool wrap;
    Text copy = Text(); // empty: no copy hotkey, and no line for it
    bool typed = false; // the typed filter on, and a line for it
    Text marks = Text(); // "Yes" or "No", and a line for it; empty for auto
};

const ShownSettings DefaultsShown = {TEXT("Ctrl-Alt-Up"), TEXT("Ctrl-Alt-Down"), true, true};

// The settings report: five writes to standard output, one more with a
// copy hotkey and one more with the typed filter on.
inline Writes Report(const ShownSettings& s)
{
    Writes writes = {
        Out(TEXT("\r\nMirvane v1.0.1 options:\r\n\n")),
        Out(TEXT("    Back hotkey  . . . . . . . /B: ") + s.back + TEXT("\r\n")),
        Out(TEXT("    Forward hotkey . . . . . . /F: ") + s.forward + TEXT("\r\n")),
        Out(Text(TEXT("    Error sound  . . . . . . . /E: ")) + (s.errorSound ? TEXT("Yes") : TEXT("No")) +
            TEXT("\r\n")),
        Out(Text(TEXT("    Wrap . . . . . . . . . . . /W: ")) + (s.wrap ? TEXT("Yes") : TEXT("No")) +
            TEXT("\r\n")),
    };
    if (s.typed)
        writes.insert(writes.begin() + 3, Out(TEXT("    Typed filter . . . . . . . /T: Yes\r\n")));
    if (!s.copy.empty())
        writes.insert(writes.begin() + 3, Out(TEXT("    Copy hotkey  . . . . . . . /C: ") + s.copy + TEXT("\r\n")));
    if (!s.marks.empty())
        writes.push_back(Out(TEXT("    Terminal marks . . . . . . /M: ") + s.marks + TEXT("\r\n")));
    return writes;
}


inline ShownSettings WithTyped(ShownSettings s)
{
    s.typed = true;
    return s;
}

inline ShownSettings WithCopy(ShownSettings s, const Text& copy)
{
    s.copy = copy;
    return s;
}

inline Text LoadMessage(const Text& back, const Text& forward)
{
    return TEXT("Mirvane v1.0.1 loaded.  Back: ") + back + TEXT(", forward: ") + forward + TEXT(".\r\n");
}

// The command's help text, 558 units, as "mirvane /?" writes it.
const Text HelpTextShown = TEXT("Display and change plugin settings.\n")
                           TEXT("\n")
                           TEXT("MIRVANE /B:key /D /E:yn /F:key /L /R /S /W:yn \r\n")
                           TEXT("\n")
                           TEXT("\t/B:\tset the back (up) hotkey\n")
                           TEXT("\t/D\trestore plugin defaults\n")
                           TEXT("\t/E:\tenable or disable the error sound\n")
                           TEXT("\t/F:\tset the forward (down) hotkey\n")
                           TEXT("\t/L\tlist all supported hotkeys\n")
                           TEXT("\t/R\trestore saved settings from the registry\n")
                           TEXT("\t/S\tsave current settings to the registry\n")
                           TEXT("\t/W:\tenable or disable wrap\n")
                           TEXT("\n")
                           TEXT("Pressing the \u2018back\u2019 hotkey scrolls the console window back through \n")
                           TEXT("previous commands; the \u2018forward\u2019 hotkey scrolls forward.  Only\n")
                           TEXT("commands entered after this plugin was loaded are recognized.\n");
