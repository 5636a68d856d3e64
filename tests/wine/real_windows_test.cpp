// What only a real Windows can tell: the process's real handles, real
// thread timers dispatched by a message pump, and the version resource.
#include <stdio.h>

#include <algorithm>
#include <vector>

#include "tests/wine/wine_harness.h"

namespace {

// Wine 8's GetProcessHandleCount answers 0 whatever is open, so the handles
// are counted from the system's handle list instead.
struct SystemHandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handleValue;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG handleAttributes;
    ULONG reserved;
};

struct SystemHandleList {
    ULONG_PTR count;
    ULONG_PTR reserved;
    SystemHandleEntry handles[1];
};

typedef LONG(WINAPI* QuerySystemInformationFunction)(ULONG, void*, ULONG, ULONG*);

const ULONG SystemExtendedHandleInformation = 64;
const LONG StatusInfoLengthMismatch = (LONG)0xC0000004;

// -1 when the list cannot be read.
long OpenHandleCount()
{
    auto query = reinterpret_cast<QuerySystemInformationFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<BYTE> buffer(1 << 16);
    LONG status;
    for (;;) {
        ULONG needed = 0;
        status = query(SystemExtendedHandleInformation, buffer.data(), (ULONG)buffer.size(), &needed);
        if (status != StatusInfoLengthMismatch)
            break;
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    }
    if (status != 0)
        return -1;
    const SystemHandleList* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
    long count = 0;
    for (ULONG_PTR i = 0; i < list->count; ++i) {
        if (list->handles[i].processId == GetCurrentProcessId())
            ++count;
    }
    return count;
}

KeyEventRecord PressHotkey(int32_t code)
{
    harness::HoldModifiers(Ctrl | Alt);
    return PressKey(code);
}

class RealWindowsTest : public CaseTest {};

// Everything that reads or moves the console needs one; without the
// terminal wine-run.sh provides, Wine gives the driver none. The driver's
// report went to a file, but the plug-in's error handle must still be the
// console's.
TEST_F(RealWindowsTest, DriverHasAConsoleBehindItsStandardHandles)
{
    DWORD mode = 0;
    EXPECT_TRUE(GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode));
    EXPECT_TRUE(GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode));
}

// Every console handle the plug-in opens is closed again, on the paths that
// tag, move, find nothing and beep alike.
TEST_F(RealWindowsTest, KeystrokesLeaveNoHandleOpen)
{
    StartPlugin(TEXT("24.0"));
    ASSERT_EQ(RunCommand(TEXT("/W:N")), 0);
    harness::LayConsole(100, 300, 0, 271, 100, 29);
    for (int row : {10, 100, 280})
        EnterLine(row);
    // Wine sets up objects of its own on first use and keeps them, so a move
    // and a failure come before the count; then the beep is left to re-arm.
    PressHotkey(0x1008D);
    PressHotkey(0x1008D);
    PressHotkey(0x1008D);
    harness::LetBeepTimerRun();

    long before = OpenHandleCount();
    ASSERT_GT(before, 0) << "cannot count this process's handles";
    HANDLE probe = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(OpenHandleCount(), before + 1) << "the count must see one more handle";
    CloseHandle(probe);

    for (int round = 0; round < 10; ++round) {
        EnterLine(200 + round);
        PressKey(0);
        for (int press = 0; press < 3; ++press) // at the first tag by then: nowhere to go
            PressHotkey(0x1008D);
        for (int press = 0; press < 4; ++press)
            PressHotkey(0x10091);
    }
    EXPECT_EQ(harness::BeepsSinceAsked(), 2) << "the warm-up and the batch beep once each";
    harness::LetBeepTimerRun();

    long after = OpenHandleCount();
    EXPECT_EQ(after, before);
    printf("[   info   ] open handles around 90 keystrokes: %ld before, %ld after\n", before, after);
}

// No tag anywhere: every press fails. Only a beep starts the re-arm timer.
class BeepTimerTest : public CaseTest {
protected:
    void SetUp() override
    {
        CaseTest::SetUp();
        StartPlugin(TEXT("24.0"));
        harness::LayConsole(100, 300, 0, 271, 100, 29);
    }
};

TEST_F(BeepTimerTest, SecondFailureWithinTheTimersLifeStartsNoTimer)
{
    Stopwatch clock;
    PressHotkey(0x1008D);
    PressHotkey(0x10091);
    EXPECT_EQ(harness::BeepsSinceAsked(), 1);
    PumpResult first = PumpMessages(clock, 2000, true);
    ASSERT_EQ(first.timers, 1) << "the first failure starts the re-arm timer";
    printf("[   info   ] beep re-arm timer fired %.0f ms after the failure\n", first.firstTimerAtMs);
    EXPECT_GE(first.firstTimerAtMs, 700.0) << "the beep stays disarmed for 750 ms";

    // Had the second failure started a timer too, or the first one kept
    // running, it would fire within this second.
    EXPECT_EQ(PumpMessages(clock, first.firstTimerAtMs + 1000, false).timers, 0);

    clock.Restart();
    PressHotkey(0x1008D);
    EXPECT_EQ(harness::BeepsSinceAsked(), 1) << "once the timer has run, a failure beeps again";
    EXPECT_EQ(PumpMessages(clock, 2000, true).timers, 1);
}

// The host unloads the plug-in after ShutdownPlugin; a timer left running
// would call into the unloaded module.
TEST_F(BeepTimerTest, ShutdownKillsAPendingTimer)
{
    Stopwatch clock;
    PressHotkey(0x1008D);
    EXPECT_EQ(harness::Plugin().shutdownPlugin(FALSE), 0);
    EXPECT_EQ(PumpMessages(clock, 1200, false).timers, 0);
}

TEST_F(BeepTimerTest, ErrorSoundOffStartsNoTimer)
{
    ASSERT_EQ(RunCommand(TEXT("/E:N")), 0);
    Stopwatch clock;
    PressHotkey(0x1008D);
    PressHotkey(0x10091);
    EXPECT_EQ(harness::BeepsSinceAsked(), 0);
    EXPECT_EQ(PumpMessages(clock, 1000, false).timers, 0);
}

class VersionResourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring path = DriverFolder() + L"Mirvane.dll";
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        ASSERT_NE(size, 0u) << "no version resource, error " << GetLastError();
        block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    }

    std::wstring String(const WCHAR* name)
    {
        struct Translation {
            WORD language;
            WORD codePage;
        }* translation = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                            &length) ||
            length < sizeof(Translation))
            return L"(no translation)";
        WCHAR query[128];
        wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\%s", translation->language, translation->codePage, name);
        WCHAR* value = nullptr;
        if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &length))
            return L"(missing)";
        return std::wstring(value);
    }

    std::vector<unsigned char> block;
};

TEST_F(VersionResourceTest, FixedVersionIs1_0_1_2)
{
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1)) << "file version 1.0";
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(2, 1)) << "file version .1.2";
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1)) << "product version 1.0";
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(2, 1)) << "product version .1.2";
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

TEST_F(VersionResourceTest, NamesTheProduct)
{
    EXPECT_EQ(String(L"ProductName"), L"Mirvane");
    EXPECT_EQ(String(L"FileDescription"), L"Mirvane plugin");
    EXPECT_EQ(String(L"FileVersion"), L"1.0.1.2");
    EXPECT_EQ(String(L"ProductVersion"), L"1.0.1.2");
}

} // namespace
