// The start-up cases and the host's other requests, run on whichever runner
// this is built into.
#include <algorithm>
#include <string.h>

#include "tests/cases/startup_cases.h"

namespace {

void SetHostVariable(const WCHAR* name, const std::optional<Text>& value)
{
    HostSetVariable(name, value ? value->c_str() : nullptr);
}

class RefusedShellTest : public CaseTest, public ::testing::WithParamInterface<ShellCase> {};

// Silently, and before anything else: only the shell test was expanded, so
// no version was asked for.
TEST_P(RefusedShellTest, RefusesTheStart)
{
    const ShellCase& c = GetParam();
    SetHostVariable(TEXT("_transient"), c.transient);
    SetHostVariable(TEXT("_pipe"), c.pipe);
    HostSetExpandUnterminated(c.unterminated);

    EXPECT_EQ(harness::Plugin().initializePlugin(), 1);
    EXPECT_EQ(HostWrites(), Writes{});
    EXPECT_EQ(HostExpandCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(, RefusedShellTest, ::testing::ValuesIn(RefusedShells), CaseName<ShellCase>);

class HostVersionTest : public CaseTest, public ::testing::WithParamInterface<HostVersionCase> {};

// Ctrl-1 is a hotkey of the extended table only.
TEST_P(HostVersionTest, PicksTheKeyTable)
{
    const HostVersionCase& c = GetParam();
    HostSetExpandUnterminated(c.unterminated);
    StartPlugin(c.text.c_str());
    EXPECT_EQ(RunCommand(TEXT("/B:Ctrl-1")), c.extended ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(, HostVersionTest, ::testing::ValuesIn(HostVersions), CaseName<HostVersionCase>);

class SavedSettingsTest : public CaseTest, public ::testing::WithParamInterface<SavedSettingsCase> {};

TEST_P(SavedSettingsTest, PutsOneSetInForce)
{
    const SavedSettingsCase& c = GetParam();
    for (const StoredValue& value : c.user)
        harness::StoreValue(HKEY_CURRENT_USER, value);
    for (const StoredValue& value : c.machine)
        harness::StoreValue(HKEY_LOCAL_MACHINE, value);

    StartPlugin(c.hostVersion, true);
    EXPECT_EQ(HostWrites(), Writes{Out(LoadMessage(c.inForce.back, c.inForce.forward))});
    HostReset();
    EXPECT_EQ(SettingsNow(), Report(c.inForce));
    harness::ExpectNothingLeftOpen();
}

INSTANTIATE_TEST_SUITE_P(, SavedSettingsTest, ::testing::ValuesIn(SavedSettingsCases()),
                         CaseName<SavedSettingsCase>);

class LoadMessageTest : public CaseTest, public ::testing::WithParamInterface<LoadMessageCase> {};

TEST_P(LoadMessageTest, FollowsNoLoadMsg)
{
    const LoadMessageCase& c = GetParam();
    harness::SetEnvironment(TEXT("NoLoadMsg"), c.noLoadMsg);
    harness::StoreValue(HKEY_CURRENT_USER, DwordValue(TEXT("HotkeyUp"), 0x10048));
    harness::StoreValue(HKEY_CURRENT_USER, DwordValue(TEXT("HotkeyDown"), 0x10050));
    harness::StoreValue(HKEY_CURRENT_USER, DwordValue(TEXT("Wrap"), 0));

    StartPlugin(TEXT("24.0"), true);
    Writes message = {Out(LoadMessage(TEXT("Up"), TEXT("Down")))};
    EXPECT_EQ(HostWrites(), c.printed ? message : Writes{});
    HostReset();
    EXPECT_EQ(SettingsNow(), Report({TEXT("Up"), TEXT("Down"), true, false}));
}

INSTANTIATE_TEST_SUITE_P(, LoadMessageTest, ::testing::ValuesIn(LoadMessageCases), CaseName<LoadMessageCase>);

class ScrollBackTest : public CaseTest, public ::testing::WithParamInterface<ScrollBackCase> {};

TEST_P(ScrollBackTest, SaysWhenThereIsNone)
{
    const ScrollBackCase& c = GetParam();
    harness::UseConsole(c.console);
    harness::LayConsole(100, c.rows, 0, 0, 100, 30);
    if (c.noLoadMsg)
        harness::SetEnvironment(TEXT("NoLoadMsg"), Text(TEXT("1")));
    for (const StoredValue& value : c.stored)
        harness::StoreValue(HKEY_CURRENT_USER, value);

    StartPlugin(TEXT("24.0"), true);
    Writes expected;
    if (!c.noLoadMsg)
        expected.push_back(Out(LoadMessage(DefaultsShown.back, DefaultsShown.forward)));
    if (c.told)
        expected.push_back(Out(c.marks ? MarksNotice : NoScrollBackNotice));
    EXPECT_EQ(HostWrites(), expected);
    harness::ExpectNothingLeftOpen();
}

INSTANTIATE_TEST_SUITE_P(, ScrollBackTest,
                         ::testing::ValuesIn(Runnable(ScrollBackCases,
                                                      [](const ScrollBackCase& c) {
                                                          return harness::RunsOn(c.console);
                                                      })),
                         CaseName<ScrollBackCase>);

// The same record at the same address before and after start-up; the 20
// bytes behind the build number stay zero.
TEST_F(CaseTest, InfoRecord)
{
    PluginInfoRecord* first = harness::Plugin().getPluginInfo();
    StartPlugin(TEXT("24.0"));
    PluginInfoRecord* info = harness::Plugin().getPluginInfo();
    ASSERT_EQ(info, first);
    EXPECT_EQ(Text(info->Name), TEXT("Mirvane"));
    EXPECT_EQ(Text(info->Description), TEXT("Mirvane plugin"));
    EXPECT_EQ(Text(info->Functions), TEXT("mirvane,*key"));
    EXPECT_NE(info->Author, nullptr);
    EXPECT_NE(info->Email, nullptr);
    EXPECT_NE(info->WebPage, nullptr);
    EXPECT_EQ(info->MajorVersion, 1u);
    EXPECT_EQ(info->MinorVersion, 0u);
    EXPECT_EQ(info->BuildNumber, 1u);
    const unsigned char zeros[20] = {};
    EXPECT_EQ(memcmp(info->Reserved, zeros, sizeof zeros), 0);
}

class CommandNameTest : public CaseTest, public ::testing::WithParamInterface<CommandNameCase> {};

// The host's usage buffer is 1024 units; a request for a name that is not
// the plug-in's leaves it alone.
TEST_P(CommandNameTest, UsageAnswersOnlyForTheCommand)
{
    const CommandNameCase& c = GetParam();
    const WCHAR fill = 0x2A2A;
    std::vector<WCHAR> buffer(1024, fill);
    Text name = c.commandName;
    EXPECT_EQ(harness::Plugin().usage(&name[0], buffer.data()), c.ours ? 1 : 0);
    if (!c.ours) {
        EXPECT_EQ(std::count(buffer.begin(), buffer.end(), fill), 1024);
        return;
    }
    EXPECT_EQ(Text(buffer.data()), HelpTextShown.substr(37));
    EXPECT_EQ(buffer[522], fill) << "written past the terminator";
}

TEST_P(CommandNameTest, HelpAnswersOnlyForTheCommand)
{
    Text name = GetParam().commandName;
    EXPECT_EQ(harness::Plugin().help(&name[0]), GetParam().ours ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(, CommandNameTest, ::testing::ValuesIn(CommandNames), CaseName<CommandNameCase>);

} // namespace
