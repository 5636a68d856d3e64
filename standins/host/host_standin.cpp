#include "standins/host/host_standin.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/host_api.h"
#include "standins/host/wide_format.h"
#ifndef _WIN32
#include "standins/windows/standin_control.h"
#endif

typedef std::basic_string<WCHAR> Text;

namespace {

struct Write {
    int channel;
    Text text;
};

struct HostState {
    // Set since HostReset, ahead of StartVariables; no value hides one of them.
    std::map<Text, std::optional<Text>> variables;
    std::vector<Write> writes;
    std::vector<Text> expansions;
    Text output[4];
    int expandCapacity = 1024;
    bool expandUnterminated = false;
};

HostState& State()
{
    static HostState state;
    return state;
}

struct Variable {
    const WCHAR* name;
    const WCHAR* value;
};

// What a host has set when it starts a plug-in. Kept out of HostState so
// that a reset allocates nothing for them.
const Variable StartVariables[] = {
    {TEXT("_transient"), TEXT("0")},
    {TEXT("_pipe"), TEXT("0")},
    {TEXT("_batch"), TEXT("0")},
    {TEXT("_4ver"), TEXT("24.0")},
};

// Outside HostState so that HostReset leaves it alone.
bool echoOn = false;

void Echo(HANDLE output, const Text& text)
{
    if (echoOn)
        HostPrint(output, text.data(), (int)text.size());
}

} // namespace

#ifdef _WIN32
// A console takes UTF-16 as it is; a redirected handle gets UTF-8.
extern "C" void HostPrint(HANDLE output, const WCHAR* text, int length)
{
    if (length <= 0 || output == nullptr || output == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(output, &mode)) {
        WriteConsoleW(output, text, (DWORD)length, &written, nullptr);
        return;
    }
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return;
    std::string utf8((size_t)bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, &utf8[0], bytes, nullptr, nullptr);
    WriteFile(output, utf8.data(), (DWORD)utf8.size(), &written, nullptr);
}
#else
extern "C" void HostPrint(HANDLE, const WCHAR*, int)
{
}
#endif

namespace {

void Record(int channel, const Text& text)
{
    State().writes.push_back({channel, text});
    State().output[channel] += text;
}

void RecordToStdout(const Text& text)
{
    Record(HostStdout, text);
    // Asked only when echoing: native tests count the calls into the stand-in.
    if (echoOn)
        Echo(GetStdHandle(STD_OUTPUT_HANDLE), text);
}

bool IsNameChar(WCHAR c)
{
    return c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

Text Lookup(const Text& name)
{
    auto it = State().variables.find(name);
    if (it != State().variables.end())
        return it->second.value_or(Text());
    for (const Variable& start : StartVariables) {
        if (name == start.name)
            return start.value;
    }
    return Text();
}

// "%name" and "%[name]" are references; anything else is kept as written.
Text Expand(const Text& in)
{
    Text out;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '%') {
            out.push_back(in[i]);
            continue;
        }
        if (i + 1 < in.size() && in[i + 1] == '[') {
            size_t close = in.find(']', i + 2);
            if (close != Text::npos) {
                out += Lookup(in.substr(i + 2, close - i - 2));
                i = close;
                continue;
            }
        }
        size_t end = i + 1;
        while (end < in.size() && IsNameChar(in[end]))
            ++end;
        if (end == i + 1) {
            out.push_back('%');
            continue;
        }
        out += Lookup(in.substr(i + 1, end - i - 1));
        i = end - 1;
    }
    return out;
}

#ifdef _WIN32
HANDLE StandardHandle(DWORD which)
{
    return GetStdHandle(which);
}
#else
// Asked of the Windows stand-in without a call of its API, so that the
// call log holds the plug-in's calls alone.
HANDLE StandardHandle(DWORD which)
{
    return which == STD_ERROR_HANDLE ? standin::StdErrorHandle() : standin::StdOutputHandle();
}
#endif

int ChannelOf(HANDLE output)
{
    if (output == StandardHandle(STD_ERROR_HANDLE))
        return HostStderr;
    if (output == StandardHandle(STD_OUTPUT_HANDLE))
        return HostStdout;
    return HostOtherHandle;
}

const WCHAR EmptyText[] = {0};

} // namespace

extern "C" {

int Printf(const WCHAR* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    Text text = FormatWide(format, arguments);
    va_end(arguments);
    RecordToStdout(text);
    return (int)text.size();
}

int Qprintf(HANDLE output, const WCHAR* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    Text text = FormatWide(format, arguments);
    va_end(arguments);
    Record(ChannelOf(output), text);
    Echo(output, text);
    return (int)text.size();
}

int QPuts(const WCHAR* text)
{
    RecordToStdout(text);
    return 0;
}

int CrLf(void)
{
    RecordToStdout(TEXT("\r\n"));
    return 0;
}

int ExpandVariables(WCHAR* buffer, int flag)
{
    (void)flag;
    Text in(buffer);
    State().expansions.push_back(in);
    Text out = Expand(in);
    size_t capacity = (size_t)State().expandCapacity;
    if (State().expandUnterminated && out.size() >= capacity) {
        out.copy(buffer, capacity);
        return 0;
    }
    size_t keep = out.size();
    if (keep + 1 > capacity)
        keep = capacity - 1;
    out.copy(buffer, keep);
    buffer[keep] = 0;
    return 0;
}

// Swapped with a fresh state rather than assigned one: a string assigned an
// empty one keeps its buffer, and the outputs would hold memory past a reset.
void HostReset(void)
{
    HostState fresh;
    std::swap(State(), fresh);
}

void HostSetVariable(const WCHAR* name, const WCHAR* value)
{
    if (value)
        State().variables[name] = Text(value);
    else
        State().variables[name] = std::nullopt;
}

void HostSetExpandUnterminated(int on)
{
    State().expandUnterminated = on != 0;
}

void HostSetEcho(int on)
{
    echoOn = on != 0;
}

void HostSetExpandCapacity(int units)
{
    State().expandCapacity = units < 1 ? 1 : units;
}

int HostWriteCount(void)
{
    return (int)State().writes.size();
}

const WCHAR* HostWriteText(int index)
{
    if (index < 0 || index >= HostWriteCount())
        return EmptyText;
    return State().writes[index].text.c_str();
}

int HostWriteChannel(int index)
{
    if (index < 0 || index >= HostWriteCount())
        return 0;
    return State().writes[index].channel;
}

const WCHAR* HostOutput(int channel)
{
    if (channel < HostStdout || channel > HostOtherHandle)
        return EmptyText;
    return State().output[channel].c_str();
}

int HostExpandCount(void)
{
    return (int)State().expansions.size();
}

const WCHAR* HostExpandInput(int index)
{
    if (index < 0 || index >= HostExpandCount())
        return EmptyText;
    return State().expansions[index].c_str();
}

} // extern "C"
