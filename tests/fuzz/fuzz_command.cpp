// The command on any argument text: it answers 0, 1 or 2, leaves a valid
// set of settings, a well-formed argument list and nothing open.
#include "fuzz_support.h"
#include "host/exports.h"
#include "settings/arguments.h"

static void CheckArgumentList()
{
    FUZZ_CHECK(ArgumentList.count >= 0 && ArgumentList.count <= MAX_ARGS);
    const WCHAR* begin = ArgumentList.buffer;
    const WCHAR* end = ArgumentList.buffer + MAX_ARG_LEN;
    for (int k = 0; k < ArgumentList.count; ++k) {
        const WCHAR* text = ArgumentList.text[k];
        int length = ArgumentList.length[k];
        FUZZ_CHECK(text != nullptr);
        FUZZ_CHECK(length >= 0);
        FUZZ_CHECK(text >= begin && text + length < end);
        FUZZ_CHECK(text[length] == 0);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    ResetProcess(10, 10);
    Settings.useExtendedKeys = data[0] & 1;
    std::u16string text = BytesToText(data + 1, size - 1);
    // The host's buffer holds exactly the text: a read past it is caught.
    WCHAR* arguments = new WCHAR[text.size() + 1];
    std::copy(text.begin(), text.end(), arguments);
    arguments[text.size()] = 0;

    int result = mirvane(arguments);
    FUZZ_CHECK(result == 0 || result == 1 || result == 2);
    CheckArgumentList();
    CheckInvariants();
    delete[] arguments;
    return 0;
}
