#include "plugin/diagnostics.h"

#include "host/host_api.h"
#include "plugin/text.h"

const WCHAR PluginName[] = TEXT("Mirvane");

HANDLE ErrorOutput(void)
{
    return GetStdHandle(STD_ERROR_HANDLE);
}

void WriteErrorPrefix(void)
{
    Qprintf(ErrorOutput(), TEXT("%s plugin: "), PluginName);

    WCHAR batch[BatchPrefixLength];
    ExpandHostVariables(batch, BatchPrefixLength, TEXT("%_batch"));
    if (batch[0] == '0')
        return;

    ExpandHostVariables(batch, BatchPrefixLength, TEXT("%_batchname [%_batchline]  "));
    // A batch file may be called "100%.btm": the expansion is text, never a
    // format.
    Qprintf(ErrorOutput(), TEXT("%s"), batch);
}

enum : DWORD {
    UnknownErrorCode = 0xFFFFFFFFu,
    // One line: the system's own line breaks are dropped, and no inserts
    // are expanded since no arguments are passed.
    SystemMessageFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                         FORMAT_MESSAGE_MAX_WIDTH_MASK,
};

static void TrimTrailingSpace(WCHAR* text)
{
    size_t length = TextLength(text);
    while (length > 0 && IsSpaceChar(text[length - 1]))
        text[--length] = 0;
}

void FormatSystemError(DWORD code, WCHAR* buffer, size_t capacity)
{
    if (code == UnknownErrorCode) {
        TextCopy(buffer, capacity, TEXT("Unknown error"));
        return;
    }
    // Language 0: the system picks the user's language, as for any message.
    if (FormatMessageW(SystemMessageFlags, NULL, code, 0, buffer, (DWORD)capacity, NULL) == 0)
        wsprintfW(buffer, TEXT("Error %d"), (int)code);
    TrimTrailingSpace(buffer);
}
