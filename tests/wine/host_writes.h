// What the plug-in said through the stand-in host, write by write, as values
// tests can compare whole. Header-only: the driver is built from the
// *_test.cpp files and the fixture alone.
#pragma once

#include <stdio.h>

#include <ostream>
#include <string>
#include <vector>

#include "plugin_fixture.h"

struct HostWrite {
    int channel; // HostStdout or HostStderr
    std::wstring text;

    bool operator==(const HostWrite& other) const
    {
        return channel == other.channel && text == other.text;
    }
};

inline HostWrite Out(const std::wstring& text)
{
    return {HostStdout, text};
}

inline HostWrite Err(const std::wstring& text)
{
    return {HostStderr, text};
}

// Every write since the host was last reset, in order.
inline std::vector<HostWrite> HostWrites()
{
    std::vector<HostWrite> writes;
    for (int i = 0; i < HostWriteCount(); ++i)
        writes.push_back({HostWriteChannel(i), HostWriteText(i)});
    return writes;
}

// Control characters and everything beyond ASCII spelled out, so that a
// wrong apostrophe or a missing "\r" shows in a failure message.
inline std::string Printable(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + (char)c;
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

inline void PrintTo(const HostWrite& write, std::ostream* os)
{
    const char* channel = write.channel == HostStdout   ? "out"
                          : write.channel == HostStderr ? "err"
                                                        : "other";
    *os << channel << " \"" << Printable(write.text) << "\"";
}

// The command's settings report: five writes to standard output.
inline std::vector<HostWrite> SettingsReport(const std::wstring& back, const std::wstring& forward,
                                             bool errorSound, bool wrap)
{
    return {
        Out(L"\r\nMirvane v1.0.1 options:\r\n\n"),
        Out(L"    Back hotkey  . . . . . . . /B: " + back + L"\r\n"),
        Out(L"    Forward hotkey . . . . . . /F: " + forward + L"\r\n"),
        Out(std::wstring(L"    Error sound  . . . . . . . /E: ") + (errorSound ? L"Yes" : L"No") + L"\r\n"),
        Out(std::wstring(L"    Wrap . . . . . . . . . . . /W: ") + (wrap ? L"Yes" : L"No") + L"\r\n"),
    };
}

inline std::vector<HostWrite> DefaultReport()
{
    return SettingsReport(L"Ctrl-Alt-Up", L"Ctrl-Alt-Down", true, true);
}

inline std::vector<HostWrite> Joined(std::vector<HostWrite> first, const std::vector<HostWrite>& then)
{
    first.insert(first.end(), then.begin(), then.end());
    return first;
}
