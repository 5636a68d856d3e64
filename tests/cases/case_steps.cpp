// The steps the shared cases are made of, in terms of the harness alone.
#include "tests/cases/harness.h"

void StartPlugin(const WCHAR* hostVersion, bool keepOutput)
{
    HostSetVariable(TEXT("_4ver"), hostVersion);
    ASSERT_EQ(harness::Plugin().initializePlugin(), 0) << "start-up refused";
    if (!keepOutput)
        HostReset();
}

int RunCommand(const Text& arguments)
{
    // The host hands over a buffer it owns, which the command may change.
    std::vector<WCHAR> line(arguments.begin(), arguments.end());
    line.resize(arguments.size() + 1024, 0);
    return harness::Plugin().command(line.data());
}

Writes SettingsNow()
{
    int before = HostWriteCount();
    EXPECT_EQ(RunCommand(TEXT("")), 0);
    Writes writes = HostWrites();
    return Writes(writes.begin() + before, writes.end());
}

KeyEventRecord PressKey(int32_t code, int row, void* context, WCHAR* keyName)
{
    KeyEventRecord event = {};
    event.code = code;
    event.row = row;
    event.context = context;
    event.keyName = keyName;
    EXPECT_EQ(harness::Plugin().key(&event), 0);
    return event;
}

void EnterLine(int row)
{
    PressKey(13, row);
}

int TypeLine(int row, int column, const Text& typed, int columns, Scrolling scrolling, int bufferRows)
{
    int at = row * columns + column;
    harness::SetCursor(column, row);
    for (WCHAR c : typed) {
        PressKey(c, row);
        harness::WriteCharacters(at % columns, at / columns, Text(1, c));
        if (++at == bufferRows * columns && scrolling != Scrolling::None) {
            harness::ScrollBufferUp();
            at -= columns;
            row -= scrolling == Scrolling::HostFollows;
        }
        harness::SetCursor(at % columns, at / columns);
    }
    return row;
}
