#include "tests/bench/meters.h"

#include <errno.h>
#include <linux/perf_event.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <new>

#include "standins/windows/standin_control.h"

// ---- allocation counting ------------------------------------------------------
// Every global new of the process comes through here. The benchmark library
// allocates nothing inside a timed loop, so what a loop counts comes from
// the plug-in or the stand-in beneath it.

static uint64_t allocationCount = 0;

// The stand-in's CreateFileW records every call and keeps each open handle
// in a set, allocating as it does; opening the console is no allocation of
// the plug-in's, so those are left out. The link wraps the function
// (tests/bench/CMakeLists.txt) to tell them apart.
static bool openingConsole = false;

extern "C" HANDLE __real_CreateFileW(LPCWSTR name, DWORD access, DWORD share,
                                     LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                     HANDLE templateFile);

extern "C" HANDLE __wrap_CreateFileW(LPCWSTR name, DWORD access, DWORD share,
                                     LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                     HANDLE templateFile)
{
    openingConsole = true;
    HANDLE handle = __real_CreateFileW(name, access, share, security, disposition, flags, templateFile);
    openingConsole = false;
    return handle;
}

static void* CountedAllocation(std::size_t size)
{
    if (!openingConsole)
        ++allocationCount;
    return malloc(size ? size : 1);
}

void* operator new(std::size_t size)
{
    if (void* p = CountedAllocation(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedAllocation(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedAllocation(size);
}
void operator delete(void* p) noexcept
{
    free(p);
}
void operator delete[](void* p) noexcept
{
    free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    free(p);
}

// ---- instruction counting -----------------------------------------------------

// -1 when this process may not count its instructions: no PMU in a VM,
// perf_event_paranoid above 2, or a container's seccomp filter.
static int InstructionCounter()
{
    static int fd = -2;
    if (fd != -2)
        return fd;
    perf_event_attr attr;
    memset(&attr, 0, sizeof attr);
    attr.size = sizeof attr;
    attr.type = PERF_TYPE_HARDWARE;
    attr.config = PERF_COUNT_HW_INSTRUCTIONS;
    attr.disabled = 1;
    attr.exclude_kernel = 1;
    attr.exclude_hv = 1;
    fd = (int)syscall(SYS_perf_event_open, &attr, 0, -1, -1, 0);
    if (fd < 0) {
        int error = errno;
        const char* why = error == EACCES || error == EPERM ? "not permitted"
                          : error == ENOENT || error == EOPNOTSUPP || error == ENODEV
                              ? "no hardware counter"
                          : error == ENOSYS ? "no perf_event_open"
                                            : "cannot open";
        fprintf(stderr,
                "instruction counter unavailable (%s: %s); instructions not reported, "
                "see callgrind at the top of navigation_bench.cpp\n",
                why, strerror(error));
        fd = -1;
    }
    return fd;
}

LoopMeter::LoopMeter()
{
    int fd = InstructionCounter();
    if (fd >= 0) {
        ioctl(fd, PERF_EVENT_IOC_RESET, 0);
        ioctl(fd, PERF_EVENT_IOC_ENABLE, 0);
    }
    allocations_ = allocationCount;
}

void LoopMeter::Report(benchmark::State& state)
{
    uint64_t allocations = allocationCount - allocations_;
    int fd = InstructionCounter();
    uint64_t instructions = 0;
    bool counted = false;
    if (fd >= 0) {
        ioctl(fd, PERF_EVENT_IOC_DISABLE, 0);
        counted = read(fd, &instructions, sizeof instructions) == sizeof instructions;
    }
    double n = (double)state.iterations();
    state.counters["allocations"] = benchmark::Counter((double)allocations / n);
    if (counted)
        state.counters["instructions"] = benchmark::Counter((double)instructions / n);
}

// ---- stand-in call tally ------------------------------------------------------

void CallTally::Take()
{
    for (standin::Api api : standin::CallLog()) {
        all += 1;
        if (api != standin::Api::GetAsyncKeyState)
            console += 1;
    }
    standin::ClearCallLog();
}

void CallTally::Report(benchmark::State& state)
{
    Take();
    double n = (double)state.iterations();
    state.counters["console_calls"] = benchmark::Counter(console / n);
    state.counters["all_calls"] = benchmark::Counter(all / n);
}
