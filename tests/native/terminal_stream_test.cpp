// Short sessions at a pseudo console with README's prompt. With
// MIRVANE_TERMINAL_STREAMS set, what the terminal behind it receives goes
// there for tests/terminal/check_marks.mjs, after the session's flags, the
// lines entered and the screen, apart by form feeds.
#include <stdlib.h>

#include <fstream>

#include "host/exports.h"
#include "test_support.h"

namespace {

// keys: '\r' Enter, 0x1B Esc, '\b' the cursor a cell left, 1 the back
// hotkey, anything else typed. The host writes with virtual-terminal
// processing on, and between its writes leaves the output mode as mode.
struct TerminalSession {
    const char* name;
    const char16_t* settings;
    bool vscode;
    DWORD mode;
    std::u16string keys;
};

const DWORD Vt = ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING;
const std::u16string WrappedLine = u"echo " + std::u16string(40, 'w') + std::u16string(40, '\b');
const std::u16string LineToTheLastColumn = u"echo " + std::u16string(28, 'z');

const TerminalSession Sessions[] = {
    {"Commands", u"", false, Vt ^ ENABLE_VIRTUAL_TERMINAL_PROCESSING,
     u"count 2\recho abc\b\b\b\r" + WrappedLine + u"\r\rdir\x1b\x01" + LineToTheLastColumn + u"\r"},
    {"VsCode", u"", true, Vt, u"echo a;b\\c  d\b\b\rx\r"},
    {"MarksOff", u"/M:N", false, Vt, u"count 1\r"},
};

class TerminalStream : public PluginTest, public ::testing::WithParamInterface<TerminalSession> {};

// The host's part: the prompt, the echo, the cursor, and after Enter the
// cursor past the line, a line of output and the next prompt. The plug-in
// leaves the cursor and the output mode as they were.
TEST_P(TerminalStream, CarriesOneCommandMarkPerEnteredLine)
{
    const TerminalSession& s = GetParam();
    FreshProcess(40, 12);
    standin::SetConsoleProfile(standin::PseudoConsole);
    standin::SetConsole(40, 12);
    standin::SetEnvironment(u"TERM_PROGRAM", s.vscode ? std::optional<std::u16string>(u"vscode") : std::nullopt);
    HostSetVariable(u"_4ver", u"24.0");
    ASSERT_EQ(InitializePlugin(), 0);
    std::u16string settings = s.settings + std::u16string(16, 0);
    ASSERT_EQ(mirvane(&settings[0]), 0);

    HANDLE console = CreateFileW(u"CONOUT$", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    auto write = [&](const std::u16string& text) {
        SetConsoleMode(console, Vt);
        standin::Print(text);
        SetConsoleMode(console, s.mode);
    };
    COORD start = {0, 0};
    auto moveTo = [&](size_t cells) {
        SetConsoleCursorPosition(console, {(SHORT)((start.X + cells) % 40), (SHORT)(start.Y + (start.X + cells) / 40)});
    };
    const std::u16string family = s.vscode ? u"633;" : u"133;";
    auto mark = [&](char16_t kind) { return u"\x1b]" + family + kind + u"\x1b\\"; };
    const std::u16string prompt = mark('D') + mark('A') + u"C:\\src>" + mark('B');
    std::u16string entered, line;
    size_t left = 0;
    write(prompt);
    start = standin::Cursor();
    for (char16_t c : s.keys) {
        standin::SetKeyHeld(VK_CONTROL, c == 1);
        standin::SetKeyHeld(VK_MENU, c == 1);
        KeyEventRecord event = {c == 1 ? 0x1008D : c, start.Y};
        COORD cursor = standin::Cursor();
        key(&event);
        DWORD mode = 0;
        GetConsoleMode(console, &mode);
        EXPECT_TRUE(standin::Cursor().X == cursor.X && standin::Cursor().Y == cursor.Y && mode == s.mode);
        if (c == '\b')
            moveTo(line.size() - ++left);
        if (c == 0x1B) {
            moveTo(0);
            write(std::u16string(line.size(), ' '));
            moveTo(0);
        }
        if (c == '\r') {
            moveTo(line.size());
            entered += line + u"\n";
            write(u"\r\nok\r\n" + prompt);
            start = standin::Cursor();
        }
        if (c == '\r' || c == 0x1B) {
            line.clear();
            left = 0;
        }
        if (c > 0x1B) {
            write(std::u16string(1, c));
            line += c;
        }
    }
    CloseHandle(console);

    const char* folder = getenv("MIRVANE_TERMINAL_STREAMS");
    if (!folder)
        return;
    std::u16string file = u"" + std::u16string(1, u'0' + s.vscode) + (s.settings[0] ? u"0\n" : u"1\n") + entered + u"\f\n";
    for (int at = 0; at < 40 * 12; ++at)
        file += std::u16string(1, standin::Character(at % 40, at / 40)) + (at % 40 == 39 ? u"\n" : u"");
    file += u"\f\n" + standin::TerminalStream();
    std::ofstream(std::string(folder) + "/" + s.name) << std::string(file.begin(), file.end());
}

INSTANTIATE_TEST_SUITE_P(, TerminalStream, ::testing::ValuesIn(Sessions),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
