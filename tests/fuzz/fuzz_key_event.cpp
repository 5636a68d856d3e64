// The keystroke handler on any record, under either host generation, over a
// small console with some rows tagged and a copy hotkey or none. Only code
// and the name's first unit may change in the record; in the console only
// column-0 attributes of one row, and only by tagging it; the window keeps
// its size inside the buffer; the clipboard is closed again and no block is
// left behind.
#include <string.h>

#include "fuzz_support.h"
#include "host/exports.h"
#include "hotkeys/key_tables.h"
#include "navigation/navigation.h"
#include "standins/windows/standin_control.h"

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    uint8_t Next() { return size ? (--size, *data++) : 0; }
    int32_t Next32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= (uint32_t)Next() << (8 * i);
        return (int32_t)v;
    }
};

const int32_t InterestingCodes[] = {0, 13, 3085, 0x80D, 0x1008D, 0x10091, 0x5008D, 0x50091, 0x7008D, 0x1002E};
// None, Ctrl-Alt-C, and one equal to the back hotkey.
const int32_t CopyHotkeys[] = {0, 0x5002E, 0x5008D};

bool IsTagOf(WORD before, WORD after)
{
    WORD marker = Startup.markerAttribute;
    if (after == before)
        return true;
    if ((after & 0xFF00) != ((before & 0xFF00) | marker))
        return false;
    if (!visibleMarker || (before & marker))
        return (after & 0x00FF) == (before & 0x00FF);
    return (after & 0x00FF) == ((before & 0xF0) == 0x10 ? 0x4E : 0x1F);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in = {data, size};
    uint8_t flags = in.Next();
    uint8_t copyChoice = in.Next();
    int rows = 1 + in.Next() % 64;
    int height = 1 + in.Next() % rows;
    InputProcess process(4, rows);
    Startup.useExtendedKeys = flags & 1;
    visibleMarker = (flags >> 1) & 1;
    Settings.Wrap = (flags >> 5) & 1;
    Settings.ErrorSound = (flags >> 6) & 1;
    Startup.markerAttribute = (flags & 0x80) ? 0x0800 : 0x2000;
    Settings.CopyHotkey = CopyHotkeys[copyChoice % ArraySize(CopyHotkeys)];
    standin::SetConsoleWindowHandle(copyChoice & 0x10 ? nullptr : (HWND)(uintptr_t)0x4444);
    standin::HoldClipboardElsewhere(copyChoice & 0x20);
    standin::SetKeyHeld(VK_SHIFT, flags & 4);
    standin::SetKeyHeld(VK_CONTROL, flags & 8);
    standin::SetKeyHeld(VK_MENU, flags & 16);

    int top = in.Next() % (rows - height + 1);
    standin::SetWindow({(SHORT)(in.Next() % 4 == 3 ? 1 : 0), (SHORT)top, 3, (SHORT)(top + height - 1)});
    standin::SetCursor({0, (SHORT)(in.Next() % rows)});
    for (int row = 0; row < rows; ++row)
        standin::SetAttribute(0, row, (WORD)(in.Next() | (in.Next() & 0x08 ? Startup.markerAttribute : 0)));

    uint8_t codeChoice = in.Next();
    int32_t code = codeChoice < 0x80 ? InterestingCodes[codeChoice % ArraySize(InterestingCodes)] : in.Next32();
    uint8_t rowChoice = in.Next();
    int32_t row = rowChoice < 0x80 ? (int32_t)(rowChoice % (rows + 2)) - 1 : in.Next32();
    bool hasContext = in.Next() & 1;
    bool hasName = in.Next() & 1;
    std::u16string name = BytesToText(in.data, in.size);
    std::u16string nameBefore = name;

    // An older host hands over only code and row: anything more would be read
    // past the end of this allocation.
    size_t recordSize = Startup.useExtendedKeys ? sizeof(KeyEventRecord) : 8;
    uint8_t* storage = new uint8_t[recordSize];
    memset(storage, 0xA5, recordSize);
    KeyEventRecord* record = reinterpret_cast<KeyEventRecord*>(storage);
    record->code = code;
    record->row = row;
    if (Startup.useExtendedKeys) {
        record->context = hasContext ? storage : nullptr;
        record->keyName = hasName ? &name[0] : nullptr;
    }
    std::vector<uint8_t> recordBefore(storage, storage + recordSize);

    std::vector<WORD> attributesBefore;
    std::vector<WCHAR> charactersBefore;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 4; ++c) {
            attributesBefore.push_back(standin::Attribute(c, r));
            charactersBefore.push_back(standin::Character(c, r));
        }
    }
    SMALL_RECT windowBefore = standin::Window();

    FUZZ_CHECK(key(record) == 0);

    FUZZ_CHECK(record->code == code || record->code == 0);
    FUZZ_CHECK(memcmp(storage + 4, recordBefore.data() + 4, recordSize - 4) == 0);
    if (hasName && Startup.useExtendedKeys)
        FUZZ_CHECK(name == nameBefore || (name[0] == 0 && name.substr(1) == nameBefore.substr(1)));
    else
        FUZZ_CHECK(name == nameBefore);

    int changedRows = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 4; ++c) {
            WORD before = attributesBefore[r * 4 + c];
            WORD after = standin::Attribute(c, r);
            FUZZ_CHECK(standin::Character(c, r) == charactersBefore[r * 4 + c]);
            FUZZ_CHECK(c == 0 ? IsTagOf(before, after) : after == before);
            changedRows += after != before;
        }
    }
    FUZZ_CHECK(changedRows <= 1);

    SMALL_RECT window = standin::Window();
    FUZZ_CHECK(window.Bottom - window.Top == windowBefore.Bottom - windowBefore.Top);
    FUZZ_CHECK(window.Right - window.Left == windowBefore.Right - windowBefore.Left);
    FUZZ_CHECK(window.Top >= 0 && window.Bottom < rows);
    CheckInvariants();
    standin::FireTimers(); // let the beep limiter re-arm, as a message pump would
    FUZZ_CHECK(ErrorBeep.armed == 1);
    delete[] storage;
    return 0;
}
