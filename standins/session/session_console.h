// The session's side of the console: its own output, the cursor, erasing
// typed characters, and what the window shows.
#pragma once

#include <windows.h>

#include <string>

// To standard output: UTF-16 to a console, UTF-8 to anything else.
void SessionWrite(const std::wstring& text);

// The screen buffer behind standard output, through "CONOUT$" so that a
// redirected standard output does not blind the session.
bool ReadBufferInfo(CONSOLE_SCREEN_BUFFER_INFO* info);

// Gives the screen buffer at least this many rows of scroll-back.
void EnsureBufferRows(int rows);

// Virtual-terminal processing on for standard output, so that the prompt's
// marks reach the terminal instead of the screen.
void EnableTerminalSequences(void);

// Steps the cursor back this many cells, across line wraps, and blanks the
// cells it passed.
void EraseCellsBehindCursor(int cells);

// The window's top row and the text on it, without trailing blanks.
bool ReadWindowTop(int* row, std::wstring* text);

// true in a windowed console; false in a terminal, where Wine shows the
// buffer but not the window's position in it.
bool ConsoleHasWindow(void);
