// A fresh process: the stand-ins and every process-wide value of the module
// as at load, with a console of columns x rows. Every native fixture, fuzz
// target and benchmark starts here.
#pragma once

#include "plugin/state.h"
#include "standins/host/host_standin.h"
#include "standins/windows/standin_control.h"

inline void FreshProcess(int columns = 100, int rows = 300)
{
    standin::Reset(columns, rows);
    HostReset();
    ResetModuleState();
}
