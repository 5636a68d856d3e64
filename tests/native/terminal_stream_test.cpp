// Sessions at a pseudo console with README's prompt, written where
// MIRVANE_TERMINAL_STREAMS says for tests/terminal/check_marks.mjs: the marks'
// family, whether marks are on, lines entered, screen, stream.
#include <stdlib.h>

#include <fstream>

#include "host/exports.h"
#include "test_support.h"

namespace {

// keys: '\r' Enter, 0x1B Esc, '\b' cursor left, 1 the back hotkey, else typed; 633 is VS Code's.
struct TerminalSession {
    const char* name;
    const char16_t* family;
    const char16_t* settings;
    std::u16string keys;
};

// Entered from its first row, whose next-to-last column holds a space.
const std::u16string WrappedLine =
    u"echo " + std::u16string(26, 'w') + u" " + std::u16string(13, 'w') + std::u16string(40, '\b');

const TerminalSession Sessions[] = {
    {"Commands", u"133", u"",
     u"count 2\recho abc\b\b\b\r" + WrappedLine + u"\r\rdir\x1b\x01" u"echo " + std::u16string(28, 'z') + u"\r"},
    {"VsCode", u"633", u"", u"echo a;b\\c  d\b\b\rx  \ry\x1b\r"},
    {"MarksOff", u"133", u"/M:N", u"count 1\r"},
};

class TerminalStream : public PluginTest, public ::testing::WithParamInterface<TerminalSession> {};

// The host echoes, moves the cursor for '\b' and Esc, and after Enter prints
// output and a prompt; the plug-in leaves the cursor where it was.
TEST_P(TerminalStream, WritesWhatTheTerminalReceives)
{
    const TerminalSession& s = GetParam();
    FreshProcess(40, 12);
    standin::SetConsoleProfile(standin::PseudoConsole);
    standin::SetConsole(40, 12);
    standin::SetEnvironment(u"TERM_PROGRAM", s.family[0] == '6' ? u"vscode" : u"");
    HostSetVariable(u"_4ver", u"24.0");
    ASSERT_EQ(InitializePlugin(), 0);
    std::u16string settings = s.settings + std::u16string(16, 0);
    ASSERT_EQ(mirvane(&settings[0]), 0);
    HANDLE console = CreateFileW(u"CONOUT$", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetConsoleMode(console, ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    auto mark = [&](const char16_t* kind) { return u"\x1b]" + std::u16string(s.family) + kind + u"\x1b\\"; };
    const std::u16string prompt = mark(u";D") + mark(u";A") + u"C:\\src>" + mark(u";B");
    standin::Print(prompt);
    COORD start = standin::Cursor();
    auto moveTo = [&](size_t cells) {
        SetConsoleCursorPosition(console, {(SHORT)((start.X + cells) % 40), (SHORT)(start.Y + (start.X + cells) / 40)});
    };
    std::u16string entered, line;
    size_t left = 0;
    for (char16_t c : s.keys) {
        standin::SetKeyHeld(VK_CONTROL, c == 1);
        standin::SetKeyHeld(VK_MENU, c == 1);
        KeyEventRecord event = {c == 1 ? 0x1008D : c, start.Y};
        COORD cursor = standin::Cursor();
        key(&event);
        EXPECT_TRUE(standin::Cursor().X == cursor.X && standin::Cursor().Y == cursor.Y);
        if (c == '\b') {
            moveTo(line.size() - ++left);
        } else if (c == 0x1B) {
            moveTo(0);
            standin::Print(std::u16string(line.size(), ' '));
            moveTo(0);
            line.clear();
        } else if (c == '\r') {
            moveTo(line.size());
            standin::Print(u"\r\nok\r\n" + prompt);
            start = standin::Cursor();
            entered += line + u"\n";
            line.clear();
            left = 0;
        } else if (c != 1) {
            standin::Print(std::u16string(1, c));
            line += c;
        }
    }
    CloseHandle(console);

    std::u16string file = s.family + std::u16string(s.settings[0] ? u"0\n" : u"1\n") + entered + u"\f\n";
    for (int at = 0; at < 40 * 12; ++at)
        file += std::u16string(1, standin::Character(at % 40, at / 40)) + (at % 40 == 39 ? u"\n" : u"");
    file += u"\f\n" + standin::TerminalStream();
    if (const char* folder = getenv("MIRVANE_TERMINAL_STREAMS"))
        std::ofstream(std::string(folder) + "/" + s.name) << std::string(file.begin(), file.end());
}

INSTANTIATE_TEST_SUITE_P(, TerminalStream, ::testing::ValuesIn(Sessions),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
