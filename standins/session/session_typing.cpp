#include "standins/session/session_typing.h"

#include <string>

#include "standins/session/host_keys.h"
#include "standins/session/session_console.h"

namespace {

bool IsTypable(WCHAR character, int modifiers)
{
    return character >= 0x20 && character != 0x7F && !(modifiers & (HostCtrlHeld | HostAltHeld));
}

void EraseLastCharacter(TypedLine* line)
{
    if (LineEraseLast(&line->text) > 0)
        EraseCellBehindCursor();
}

void ClearTypedLine(TypedLine* line)
{
    while (LineEraseLast(&line->text) > 0)
        EraseCellBehindCursor();
}

} // namespace

void BeginTypedLine(TypedLine* line)
{
    LineClear(&line->text);
    CONSOLE_SCREEN_BUFFER_INFO info;
    line->start = ReadBufferInfo(&info) ? info.dwCursorPosition : COORD{0, -1};
}

int TypedLineRow(const TypedLine& line)
{
    return line.start.Y;
}

void EditTypedLine(TypedLine* line, WORD virtualKey, WCHAR character, int modifiers)
{
    switch (virtualKey) {
    case VK_ESCAPE:
        ClearTypedLine(line);
        return;
    case VK_BACK:
        if (!(modifiers & (HostCtrlHeld | HostAltHeld)))
            EraseLastCharacter(line);
        return;
    default:
        break;
    }
    if (IsTypable(character, modifiers) && LineAppend(&line->text, character))
        SessionWrite(std::wstring(1, character));
}
