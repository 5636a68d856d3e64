// Shared by the native tests: a clean process for every test, and the host
// stand-in's captures as std::u16string.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "navigation/beep_limiter.h"
#include "navigation/console_cells.h"
#include "navigation/copy_output.h"
#include "navigation/row_tags.h"
#include "navigation/typed_filter.h"
#include "plugin/state.h"
#include "standins/host/host_standin.h"
#include "standins/windows/standin_control.h"
#include "tests/cases/case_text.h"
#include "tests/native/fresh_process.h"

inline std::u16string HostStdoutText()
{
    return HostOutput(HostStdout);
}

inline std::u16string HostStderrText()
{
    return HostOutput(HostStderr);
}

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override { FreshProcess(); }
};
