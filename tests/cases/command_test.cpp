// The command's cases, run on whichever runner this is built into.
#include <algorithm>

#include "tests/cases/command_cases.h"

namespace {

void Store(HKEY root, const std::vector<StoredValue>& values)
{
    for (const StoredValue& value : values)
        harness::StoreValue(root, value);
}

// /VM shows only in the colours of the next line entered.
bool TaggingIsVisible()
{
    harness::SetAttribute(0, 0, 0x07);
    EnterLine(0);
    return (harness::Attribute(0, 0) & 0xFF) == 0x1F;
}

void ExpectSavedAs(HKEY root, const std::vector<StoredValue>& values)
{
    HKEY other = root == HKEY_CURRENT_USER ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    EXPECT_FALSE(harness::SettingsKeyExists(other)) << "saved to the other root as well";
    std::vector<Text> names;
    for (const StoredValue& value : values) {
        names.push_back(value.name);
        EXPECT_EQ(harness::ReadValue(root, value.name), value);
    }
    EXPECT_EQ(harness::ValueNames(root), names) << "nothing else is written, no default value either";
}

class CommandTest : public CaseTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandTest, Runs)
{
    const CommandCase& c = GetParam();
    StartPlugin(TEXT("24.0"));
    if (c.stored != NothingStored && c.stored != MachineSetStored)
        Store(HKEY_CURRENT_USER, UserSet);
    if (c.stored == UserSetWithCopyStored)
        harness::StoreValue(HKEY_CURRENT_USER, CopyHotkeyStored);
    if (c.stored == UserSetWithBrokenCopyStored)
        harness::StoreValue(HKEY_CURRENT_USER, BrokenCopyHotkeyStored);
    if (c.stored == UserSetWithTypedStored)
        harness::StoreValue(HKEY_CURRENT_USER, TypedFilterStored);
    if (c.stored == UserSetWithBrokenTypedStored)
        harness::StoreValue(HKEY_CURRENT_USER, BrokenTypedFilterStored);
    if (c.stored == MachineSetStored || c.stored == BothSetsStored)
        Store(HKEY_LOCAL_MACHINE, MachineSet);
    if (c.denied)
        harness::DenyRegistry(c.denied);
    if (c.before) {
        ASSERT_EQ(RunCommand(c.before), 0);
        HostReset();
    }

    EXPECT_EQ(RunCommand(c.arguments), c.result);
    EXPECT_EQ(HostWrites(), c.writes);

    EXPECT_EQ(SettingsNow(), Report(c.after));
    EXPECT_EQ(TaggingIsVisible(), c.visibleAfter);
    if (c.savedTo) {
        ExpectSavedAs(c.savedTo, c.savedValues);
    } else if (c.stored == NothingStored) {
        EXPECT_FALSE(harness::SettingsKeyExists(HKEY_CURRENT_USER));
        EXPECT_FALSE(harness::SettingsKeyExists(HKEY_LOCAL_MACHINE));
    }
    harness::ExpectNothingLeftOpen();
}

INSTANTIATE_TEST_SUITE_P(, CommandTest,
                         ::testing::ValuesIn(Runnable(CommandCases(),
                                                      [](const CommandCase& c) {
                                                          return !c.denied || harness::CanDenyRegistry();
                                                      })),
                         CaseName<CommandCase>);

TEST_F(CaseTest, NullArgumentsGiveOneSilently)
{
    StartPlugin(TEXT("24.0"));
    EXPECT_EQ(harness::Plugin().command(nullptr), 1);
    EXPECT_EQ(HostWriteCount(), 0);
}

// The batch file's name is text, not a format: its percent sign survives.
TEST_F(CaseTest, ErrorInsideBatchFileNamesFileAndLine)
{
    StartPlugin(TEXT("24.0"));
    HostSetVariable(TEXT("_batch"), TEXT("1"));
    HostSetVariable(TEXT("_batchname"), TEXT("C:\\my 100%.btm"));
    HostSetVariable(TEXT("_batchline"), TEXT("7"));

    EXPECT_EQ(RunCommand(TEXT("/x")), 1);
    EXPECT_EQ(HostWrites(), (Writes{Err(ErrorPrefix), Err(TEXT("C:\\my 100%.btm [7]  ")),
                                    Err(TEXT("Unknown option: \"/X\"\r\n"))}));
}

// Every cell of the table in force, named through the command: listed, or
// refused with the message its kind calls for.
struct KeyTableCase {
    const char* name;
    const WCHAR* hostVersion;
    const KeyCells* rows;
    size_t rowCount;
    const std::vector<Text>* lineKeys;
};

const KeyTableCase KeyTables[] = {
    {"Classic", TEXT("23.0"), ClassicCells, ArraySize(ClassicCells), &ClassicLineKeys},
    {"Extended", TEXT("24.0"), ExtendedCells, ArraySize(ExtendedCells), &ExtendedLineKeys},
};

void PrintTo(const KeyTableCase& c, std::ostream* os)
{
    *os << c.name;
}

class KeyCellTest : public CaseTest, public ::testing::WithParamInterface<KeyTableCase> {};

Text UpperAscii(Text text)
{
    for (WCHAR& c : text) {
        if (c >= 'a' && c <= 'z')
            c = (WCHAR)(c - 'a' + 'A');
    }
    return text;
}

// A name with a "-" after its first character cannot be typed: the "-"
// ends the key token.
bool CanBeTyped(const WCHAR* keyName)
{
    return Text(keyName).find('-', 1) == Text::npos;
}

TEST_P(KeyCellTest, ListsEveryHotkey)
{
    const KeyTableCase& t = GetParam();
    StartPlugin(t.hostVersion);
    EXPECT_EQ(RunCommand(TEXT("/L")), 0);
    EXPECT_EQ(HostWrites(), Listing(t.rows, t.rowCount, *t.lineKeys));
}

// A hotkey stored under its code comes back under its name, even a line
// key, as saved settings always have; by name a line key, and a cell that
// can be no hotkey, is refused with its own message.
TEST_P(KeyCellTest, EveryCellByCodeAndByName)
{
    const KeyTableCase& t = GetParam();
    StartPlugin(t.hostVersion);
    for (size_t row = 0; row < t.rowCount; ++row) {
        for (size_t column = 0; column < 7 && t.rows[row].codes[column]; ++column) {
            int32_t code = t.rows[row].codes[column];
            Text name = Text(ColumnPrefixes[column]) + t.rows[row].name;
            HostReset();
            if (code > 0) {
                harness::StoreValue(HKEY_CURRENT_USER, DwordValue(TEXT("HotkeyUp"), (DWORD)code));
                harness::StoreValue(HKEY_CURRENT_USER, DwordValue(TEXT("HotkeyDown"), (DWORD)code));
                EXPECT_EQ(RunCommand(TEXT("/R")), 0);
                // The older table gives Num- and Num+ one Ctrl-Shift code; the
                // later row names it.
                if (name != TEXT("Ctrl-Shift-Num-"))
                    EXPECT_EQ(HostWrites(), Writes{Out(RestoredFrom(TEXT("HKCU")))} + Report({name, name, true, true}))
                        << Printable(name);
                if (!IsOneOf(name, *t.lineKeys))
                    continue;
                HostReset();
                EXPECT_EQ(RunCommand(TEXT("/B:") + name), 1) << Printable(name);
                EXPECT_EQ(HostWrites(), Quoting(TEXT("Not usable as a hotkey (it enters the line)"),
                                                UpperAscii(TEXT("/B:") + name)));
                continue;
            }
            if (!CanBeTyped(t.rows[row].name))
                continue;
            // Quoted, since the tokenizer cuts a switch at a further slash;
            // the quotes are gone by the time the error quotes the argument.
            Text quoted = UpperAscii(TEXT("/B:") + name);
            EXPECT_EQ(RunCommand(TEXT("/B:\"") + name + TEXT("\"")), 1) << Printable(name);
            EXPECT_EQ(HostWrites(), Quoting(code == InvalidCell ? TEXT("Invalid hotkey") : TEXT("Key not allowed"),
                                            quoted))
                << Printable(name);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(, KeyCellTest, ::testing::ValuesIn(KeyTables), CaseName<KeyTableCase>);

} // namespace
