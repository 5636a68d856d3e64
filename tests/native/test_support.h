// Shared by the native tests: a clean process for every test, and the host
// stand-in's captures as std::u16string.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "navigation/navigation.h"
#include "plugin/state.h"
#include "standins/host/host_standin.h"
#include "standins/windows/standin_control.h"

inline std::u16string HostStdoutText()
{
    return HostOutput(HostStdout);
}

inline std::u16string HostStderrText()
{
    return HostOutput(HostStderr);
}

// gtest prints char16_t strings as numbers; this makes failures readable.
inline std::string Narrow(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F)
            out.push_back((char)c);
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else {
            char hex[12];
            snprintf(hex, sizeof hex, "\\u%04X", (unsigned)c);
            out += hex;
        }
    }
    return out;
}

// A fresh process: the stand-ins and the module's state as at load.
inline void FreshProcess()
{
    standin::Reset();
    HostReset();
    ResetModuleState();
}

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override { FreshProcess(); }
};
