// The driver's real Wine console laid out for a navigation test, modifier
// keys held through the real input queue, and the thread's message pump
// through which the beep timer is seen. Header-only: the driver is built
// from the *_test.cpp files and the fixture alone.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

class Stopwatch {
public:
    Stopwatch() { Restart(); }

    void Restart() { QueryPerformanceCounter(&start); }

    double ElapsedMs() const
    {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return 1000.0 * (double)(now.QuadPart - start.QuadPart) / (double)frequency.QuadPart;
    }

private:
    LARGE_INTEGER start;
};

// Opened on the same name the plug-in opens, so both see the active screen
// buffer. The original geometry is put back when the test ends, since the
// next test in the process shares the console.
class TestConsole {
public:
    ~TestConsole() { Close(); }

    ::testing::AssertionResult Open()
    {
        handle = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return ::testing::AssertionFailure() << "no console, error " << GetLastError();
        if (!GetConsoleScreenBufferInfo(handle, &original))
            return ::testing::AssertionFailure() << "no buffer information, error " << GetLastError();
        return ::testing::AssertionSuccess();
    }

    void Close()
    {
        if (handle == INVALID_HANDLE_VALUE)
            return;
        const SMALL_RECT& window = original.srWindow;
        Lay(original.dwSize.X, original.dwSize.Y, window.Left, window.Top, window.Right - window.Left + 1,
            window.Bottom - window.Top + 1);
        CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }

    // A buffer of width x rows, every cell a blank in plain grey on black
    // (no tag anywhere), with the window at left/top and of the size given.
    ::testing::AssertionResult Lay(int width, int rows, int left, int top, int windowWidth,
                                   int windowHeight)
    {
        CONSOLE_SCREEN_BUFFER_INFO info;
        GetConsoleScreenBufferInfo(handle, &info);
        // The window must fit the buffer at every step: shrink it first.
        SMALL_RECT small = {0, 0, (SHORT)(std::min<int>(info.dwSize.X, width) - 1),
                            (SHORT)(std::min<int>(info.dwSize.Y, rows) - 1)};
        small.Right = std::min<SHORT>(small.Right, info.srWindow.Right - info.srWindow.Left);
        small.Bottom = std::min<SHORT>(small.Bottom, info.srWindow.Bottom - info.srWindow.Top);
        if (!SetConsoleWindowInfo(handle, TRUE, &small))
            return ::testing::AssertionFailure() << "cannot shrink the window, error " << GetLastError();
        if (!SetConsoleScreenBufferSize(handle, COORD{(SHORT)width, (SHORT)rows}))
            return ::testing::AssertionFailure() << "cannot size the buffer to " << width << " x " << rows
                                                 << ", error " << GetLastError();
        DWORD cells = (DWORD)width * (DWORD)rows;
        DWORD written = 0;
        FillConsoleOutputAttribute(handle, Plain, cells, COORD{0, 0}, &written);
        if (written != cells)
            return ::testing::AssertionFailure() << "filled " << written << " cells";
        FillConsoleOutputCharacterW(handle, L' ', cells, COORD{0, 0}, &written);
        return MoveWindow(left, top, windowWidth, windowHeight);
    }

    ::testing::AssertionResult MoveWindow(int left, int top, int width, int height)
    {
        SMALL_RECT window = {(SHORT)left, (SHORT)top, (SHORT)(left + width - 1), (SHORT)(top + height - 1)};
        if (!SetConsoleWindowInfo(handle, TRUE, &window))
            return ::testing::AssertionFailure() << "cannot move the window, error " << GetLastError();
        SMALL_RECT now = Window();
        if (now.Left != window.Left || now.Top != window.Top || now.Right != window.Right ||
            now.Bottom != window.Bottom)
            return ::testing::AssertionFailure() << "window is at " << now.Left << "," << now.Top << " - "
                                                 << now.Right << "," << now.Bottom;
        return ::testing::AssertionSuccess();
    }

    SMALL_RECT Window() const
    {
        CONSOLE_SCREEN_BUFFER_INFO info = {};
        GetConsoleScreenBufferInfo(handle, &info);
        return info.srWindow;
    }

    std::vector<WORD> Attributes(int column, int row, int count) const
    {
        std::vector<WORD> cells(count);
        DWORD read = 0;
        ReadConsoleOutputAttribute(handle, cells.data(), count, COORD{(SHORT)column, (SHORT)row}, &read);
        cells.resize(read);
        return cells;
    }

    WORD Attribute(int column, int row) const
    {
        std::vector<WORD> cells = Attributes(column, row, 1);
        return cells.empty() ? 0xFFFF : cells[0];
    }

    void SetAttributes(int column, int row, const std::vector<WORD>& cells)
    {
        DWORD written = 0;
        WriteConsoleOutputAttribute(handle, cells.data(), (DWORD)cells.size(),
                                    COORD{(SHORT)column, (SHORT)row}, &written);
        EXPECT_EQ(written, cells.size());
    }

    std::wstring Characters(int column, int row, int count) const
    {
        std::wstring text(count, L'\0');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(handle, &text[0], count, COORD{(SHORT)column, (SHORT)row}, &read);
        text.resize(read);
        return text;
    }

    void WriteCharacters(int column, int row, const std::wstring& text)
    {
        DWORD written = 0;
        WriteConsoleOutputCharacterW(handle, text.data(), (DWORD)text.size(),
                                     COORD{(SHORT)column, (SHORT)row}, &written);
        EXPECT_EQ(written, text.size());
    }

    bool SetCursor(int column, int row)
    {
        return SetConsoleCursorPosition(handle, COORD{(SHORT)column, (SHORT)row}) != 0;
    }

    void ScrollUp()
    {
        CONSOLE_SCREEN_BUFFER_INFO info = {};
        GetConsoleScreenBufferInfo(handle, &info);
        SMALL_RECT below = {0, 1, (SHORT)(info.dwSize.X - 1), (SHORT)(info.dwSize.Y - 1)};
        CHAR_INFO blank = {{L' '}, Plain};
        EXPECT_TRUE(ScrollConsoleScreenBufferW(handle, &below, nullptr, COORD{0, 0}, &blank));
    }

    static constexpr WORD Plain = 0x0007;

private:
    HANDLE handle = INVALID_HANDLE_VALUE;
    CONSOLE_SCREEN_BUFFER_INFO original = {};
};

// Modifier keys pressed through the real input queue, so that
// GetAsyncKeyState sees them; every one is released again.
class HeldKeys {
public:
    ~HeldKeys() { ReleaseAll(); }

    void Hold(WORD virtualKey)
    {
        Send(virtualKey, 0);
        held.push_back(virtualKey);
    }

    void ReleaseAll()
    {
        for (WORD virtualKey : held)
            Send(virtualKey, KEYEVENTF_KEYUP);
        held.clear();
    }

private:
    static void Send(WORD virtualKey, DWORD flags)
    {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.dwFlags = flags;
        EXPECT_EQ(SendInput(1, &input, sizeof input), 1u);
    }

    std::vector<WORD> held;
};

struct PumpResult {
    int timers;            // WM_TIMER messages dispatched
    double firstTimerAtMs; // on the stopwatch; -1 when none came
};

// Dispatches this thread's messages until the stopwatch reads untilMs (or,
// with stopAtFirstTimer, until a WM_TIMER has been dispatched). The plug-in's
// beep timer is the only timer this thread ever has.
inline PumpResult PumpMessages(const Stopwatch& clock, double untilMs, bool stopAtFirstTimer)
{
    PumpResult result = {0, -1};
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_TIMER && result.timers++ == 0)
                result.firstTimerAtMs = clock.ElapsedMs();
            DispatchMessageW(&message);
            if (stopAtFirstTimer && result.timers > 0)
                return result;
        }
        double left = untilMs - clock.ElapsedMs();
        if (left <= 0)
            return result;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, (DWORD)left + 1, QS_ALLINPUT);
    }
}
