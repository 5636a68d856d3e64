#include "plugin/diagnostics.h"

#include "host/host_api.h"
#include "plugin/host_variables.h"
#include "plugin/text.h"

const WCHAR PluginName[] = TEXT("Mirvane");

HANDLE ErrorOutput(void)
{
    return GetStdHandle(STD_ERROR_HANDLE);
}

int WriteErrorPrefix(void)
{
    Qprintf(ErrorOutput(), TEXT("%s plugin: "), PluginName);

    WCHAR batch[BatchPrefixLength];
    ExpandHostVariables(batch, BatchPrefixLength, TEXT("%_batch"));
    if (batch[0] == '0')
        return 0;

    ExpandHostVariables(batch, BatchPrefixLength, TEXT("%_batchname [%_batchline]  "));
    // A batch file may be called "100%.btm": the expansion is text, never a
    // format.
    Qprintf(ErrorOutput(), TEXT("%s"), batch);
    return 0;
}

enum : DWORD {
    UnknownErrorCode = 0xFFFFFFFFu,
    // One line: the system's own line breaks are dropped, and no inserts
    // are expanded since no arguments are passed.
    SystemMessageFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                         FORMAT_MESSAGE_MAX_WIDTH_MASK,
};
static_assert(SystemMessageFlags == 0x12FF, "system text on one line, inserts left alone");

static void TrimTrailingSpace(WCHAR* text)
{
    size_t length = TextLength(text);
    while (length > 0 && IsSpaceChar(text[length - 1]))
        text[--length] = 0;
}

int FormatSystemError(DWORD code, WCHAR* buffer)
{
    if (code == UnknownErrorCode) {
        TextCopy(buffer, TextBufferLength, TEXT("Unknown error"));
        return 0;
    }
    if (FormatMessageW(SystemMessageFlags, NULL, code, 0, buffer, TextBufferLength, NULL) == 0)
        wsprintfW(buffer, TEXT("Error %d"), (int)code);
    TrimTrailingSpace(buffer);
    return 0;
}
