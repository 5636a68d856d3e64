#include "standins/session/session_console.h"

#include "standins/host/host_standin.h"

#include <vector>

namespace {

HANDLE OpenOutput()
{
    return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, OPEN_EXISTING, 0, nullptr);
}

} // namespace

void SessionWrite(const std::wstring& text)
{
    HostPrint(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), (int)text.size());
}

bool ReadBufferInfo(CONSOLE_SCREEN_BUFFER_INFO* info)
{
    HANDLE console = OpenOutput();
    if (console == INVALID_HANDLE_VALUE)
        return false;
    bool ok = GetConsoleScreenBufferInfo(console, info) != 0;
    CloseHandle(console);
    return ok;
}

void EnsureBufferRows(int rows)
{
    HANDLE console = OpenOutput();
    if (console == INVALID_HANDLE_VALUE)
        return;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(console, &info) && info.dwSize.Y < rows) {
        COORD size = {info.dwSize.X, (SHORT)rows};
        SetConsoleScreenBufferSize(console, size);
    }
    CloseHandle(console);
}

void EnableTerminalSequences(void)
{
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode))
        SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

void EraseCellsBehindCursor(int cells)
{
    if (cells <= 0)
        return;
    HANDLE console = OpenOutput();
    if (console == INVALID_HANDLE_VALUE)
        return;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(console, &info)) {
        int width = info.dwSize.X;
        int cursor = info.dwCursorPosition.Y * width + info.dwCursorPosition.X;
        int from = cursor > cells ? cursor - cells : 0;
        COORD at = {(SHORT)(from % width), (SHORT)(from / width)};
        DWORD written = 0;
        FillConsoleOutputCharacterW(console, L' ', (DWORD)(cursor - from), at, &written);
        SetConsoleCursorPosition(console, at);
    }
    CloseHandle(console);
}

bool ReadWindowTop(int* row, std::wstring* text)
{
    HANDLE console = OpenOutput();
    if (console == INVALID_HANDLE_VALUE)
        return false;
    CONSOLE_SCREEN_BUFFER_INFO info;
    bool ok = GetConsoleScreenBufferInfo(console, &info) != 0;
    if (ok) {
        std::vector<WCHAR> cells((size_t)info.dwSize.X);
        COORD at = {0, info.srWindow.Top};
        DWORD read = 0;
        ok = ReadConsoleOutputCharacterW(console, cells.data(), (DWORD)cells.size(), at, &read) != 0;
        while (read > 0 && (cells[read - 1] == L' ' || cells[read - 1] == 0))
            --read;
        *row = info.srWindow.Top;
        text->assign(cells.data(), read);
    }
    CloseHandle(console);
    return ok;
}

bool ConsoleHasWindow(void)
{
    HWND window = GetConsoleWindow();
    return window != nullptr && IsWindowVisible(window);
}
