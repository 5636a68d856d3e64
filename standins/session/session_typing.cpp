#include "standins/session/session_typing.h"

#include <string>

#include "standins/session/host_keys.h"
#include "standins/session/session_console.h"

namespace {

bool IsTypable(WCHAR character, int modifiers)
{
    return character >= 0x20 && character != 0x7F && !(modifiers & (HostCtrlHeld | HostAltHeld));
}

// The console keeps each UTF-16 unit in a cell of its own, a surrogate pair
// in two. Counted back from the cursor, the cells are right also when the
// typing scrolled the buffer under the line.
void EraseLastCharacter(TypedLine* line)
{
    EraseCellsBehindCursor(LineEraseLast(&line->text));
}

// An echo that runs past a full buffer's last row scrolls the buffer, and
// the line then begins that many rows higher: the keys after it carry the
// row it begins on now, so that its Enter tags that row.
void Echo(TypedLine* line, WCHAR character)
{
    CONSOLE_SCREEN_BUFFER_INFO before;
    CONSOLE_SCREEN_BUFFER_INFO after;
    bool known = ReadBufferInfo(&before);
    SessionWrite(std::wstring(1, character));
    if (!known || !ReadBufferInfo(&after))
        return;
    int width = before.dwSize.X;
    int expected = before.dwCursorPosition.Y * width + before.dwCursorPosition.X + 1;
    int now = after.dwCursorPosition.Y * width + after.dwCursorPosition.X;
    if (now < expected)
        line->startRow -= (expected - now) / width;
}

void ClearTypedLine(TypedLine* line)
{
    int units = line->text.length;
    LineClear(&line->text);
    EraseCellsBehindCursor(units);
}

} // namespace

void BeginTypedLine(TypedLine* line)
{
    LineClear(&line->text);
    CONSOLE_SCREEN_BUFFER_INFO info;
    line->startRow = ReadBufferInfo(&info) ? info.dwCursorPosition.Y : -1;
}

int TypedLineRow(const TypedLine& line)
{
    return line.startRow;
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
        Echo(line, character);
}
