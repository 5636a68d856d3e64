// KeyNameToCode on any text: the result is 0, a table's -1 or -2, or a
// positive code that names itself back.
#include "fuzz_support.h"
#include "hotkeys/key_names.h"
#include "hotkeys/key_tables.h"
#include "plugin/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    InputProcess process(10, 10);
    Startup.useExtendedKeys = data[0] & 1;
    std::u16string text = BytesToText(data + 1, size - 1);
    std::u16string before = text;

    KeyCode code = KeyNameToCode(text.c_str());
    FUZZ_CHECK(text == before);
    FUZZ_CHECK(code >= KeyCodeNotAllowed);
    if (code <= 0)
        return 0;
    FUZZ_CHECK(IsValidHotkey(code));

    WCHAR name[TextBufferLength];
    FUZZ_CHECK(KeyCodeToName(code, name, TextBufferLength));
    FUZZ_CHECK(TextLength(name) <= 24);
    KeyCode again = KeyNameToCode(name);
    // Ctrl-Num- and Ctrl-Alt-Num- cannot be typed: a "-" after the first
    // character of a key name always ends a modifier word.
    bool untypable = !Startup.useExtendedKeys && (code == 0x1004A || code == 0x5004A);
    FUZZ_CHECK(again == (untypable ? 0 : code));
    return 0;
}
