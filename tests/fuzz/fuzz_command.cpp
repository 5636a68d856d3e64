// The command on any argument text: it answers 0, 1 or 2, leaves a valid
// set of settings, a well-formed argument list and nothing open. The first
// byte picks the setting: bit 0 the newer host; bit 1 a batch file named by
// the argument text, bit 3 stretching that name to the edge of the prefix's
// 8192-unit buffer (bits 4-7 pick the length); bit 2 a host that fills the
// 8192 units to the brim without a terminator.
#include <algorithm>

#include "fuzz_support.h"
#include "host/exports.h"
#include "plugin/diagnostics.h"
#include "settings/arguments.h"
#include "standins/host/host_standin.h"

enum : uint8_t { NewerHost = 1, InBatchFile = 2, BrimFullHost = 4, LongBatchName = 8 };

// " [7]  " follows the name: from 8180 to 8195 units the whole expansion
// goes from fitting to filling the buffer. The name repeats the text up to
// that length; doubling gets there in a dozen appends where adding one copy
// at a time took thousands for a short text.
static std::u16string BatchName(uint8_t mode, const std::u16string& text)
{
    std::u16string name = text.substr(0, text.find(u'\0'));
    if (!(mode & LongBatchName) || name.empty())
        return name;
    size_t length = 8180 + (mode >> 4);
    while (name.size() < length)
        name += name;
    name.resize(length);
    return name;
}

// Every prefix is followed, inside a batch file, by the batch text as the
// host left it, cut to the prefix's buffer and never read past it.
static void CheckBatchPrefixes(const std::u16string& batchText)
{
    const std::u16string prefix = u"Mirvane plugin: ";
    for (int i = 0; i < HostWriteCount(); ++i) {
        if (HostWriteChannel(i) != HostStderr || HostWriteText(i) != prefix)
            continue;
        FUZZ_CHECK(i + 1 < HostWriteCount());
        FUZZ_CHECK(HostWriteText(i + 1) == batchText);
    }
}

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
    InputProcess process(10, 10);
    uint8_t mode = data[0];
    Startup.useExtendedKeys = (mode & NewerHost) != 0;
    std::u16string text = BytesToText(data + 1, size - 1);
    size_t capacity = 1024;
    if (mode & BrimFullHost) {
        capacity = BatchPrefixLength;
        HostSetExpandCapacity((int)capacity);
        HostSetExpandUnterminated(1);
    }
    std::u16string batchText;
    if (mode & InBatchFile) {
        std::u16string name = BatchName(mode, text);
        HostSetVariable(u"_batch", u"1");
        HostSetVariable(u"_batchname", name.c_str());
        HostSetVariable(u"_batchline", u"7");
        batchText = (name + u" [7]  ").substr(0, std::min<size_t>(capacity, BatchPrefixLength) - 1);
    }
    // The host's buffer holds exactly the text: a read past it is caught.
    WCHAR* arguments = new WCHAR[text.size() + 1];
    std::copy(text.begin(), text.end(), arguments);
    arguments[text.size()] = 0;

    int result = mirvane(arguments);
    FUZZ_CHECK(result == 0 || result == 1 || result == 2);
    CheckArgumentList();
    if (mode & InBatchFile)
        CheckBatchPrefixes(batchText);
    CheckInvariants();
    delete[] arguments;
    return 0;
}
