#include "navigation/navigation.h"

// "CONOUT$" reaches the active screen buffer even when standard output is
// redirected, which is where the tags and the window live.
HANDLE OpenConsoleOutput(void)
{
    return CreateFileW(TEXT("CONOUT$"), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
}
