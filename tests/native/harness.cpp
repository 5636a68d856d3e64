// The shared cases' harness on the Windows stand-in: the plug-in linked in,
// and every console, keyboard, timer and registry answer given by the
// stand-in's controls.
#include "tests/cases/harness.h"

#include <algorithm>

#include "host/exports.h"
#include "plugin/state.h"
#include "standins/windows/standin_control.h"
#include "tests/native/test_support.h"

namespace {

const PluginExports Exports = {GetPluginInfo, InitializePlugin, ShutdownPlugin, key, mirvane, Help, Usage};

size_t beepsAsked = 0;

const standin::ConsoleProfile& ProfileOf(ConsoleProfileKind kind)
{
    switch (kind) {
    case ConsoleProfileKind::Modern:
        return standin::ModernConsole;
    case ConsoleProfileKind::Pseudo:
        return standin::PseudoConsole;
    case ConsoleProfileKind::Documented:
        break;
    }
    return standin::DocumentedConsole;
}

std::u16string Path()
{
    return SettingsKey;
}

} // namespace

namespace harness {

void BeginProcess()
{
    FreshProcess();
    beepsAsked = 0;
}

void EndProcess()
{
    EXPECT_EQ(ShutdownPlugin(FALSE), 0);
}

const PluginExports& Plugin()
{
    return Exports;
}

bool RunsOn(const ConsoleKind&)
{
    return true;
}

void UseConsole(const ConsoleKind& console)
{
    standin::SetConsoleProfile(ProfileOf(console.profile));
    standin::SetRtlGetVersion(true, console.major, console.minor, console.build);
}

void LayConsole(int columns, int rows, int left, int top, int windowColumns, int windowRows)
{
    standin::SetConsole(columns, rows);
    standin::SetWindow({(SHORT)left, (SHORT)top, (SHORT)(left + windowColumns - 1),
                        (SHORT)(top + windowRows - 1)});
}

SMALL_RECT Window()
{
    return standin::Window();
}

WORD Attribute(int column, int row)
{
    return standin::Attribute(column, row);
}

void SetAttribute(int column, int row, WORD attribute)
{
    standin::SetAttribute(column, row, attribute);
}

WCHAR Character(int column, int row)
{
    return standin::Character(column, row);
}

void WriteCharacters(int column, int row, const Text& text)
{
    for (size_t i = 0; i < text.size(); ++i)
        standin::SetCharacter(column + (int)i, row, text[i]);
}

void SetCursor(int column, int row)
{
    standin::SetCursor({(SHORT)column, (SHORT)row});
}

void ScrollBufferUp()
{
    standin::ScrollUp();
}

bool CanColourByEscape()
{
    return true;
}

void SetEscapeColoured(int column, int row, WORD nearestLegacy)
{
    standin::SetEscapeColoured(column, row, nearestLegacy);
}

void ExpectNothingLeftOpen()
{
    EXPECT_EQ(standin::OpenConsoleHandles(), 0) << "a console handle stayed open";
    EXPECT_EQ(standin::OpenRegistryKeys(), 0) << "a registry key stayed open";
    EXPECT_FALSE(standin::ClipboardIsOpen()) << "the clipboard stayed open";
    EXPECT_EQ(standin::LiveGlobalBlocks(), 0) << "a memory block was neither freed nor handed over";
    EXPECT_EQ(standin::WrongGlobalFrees(), 0) << "a memory block was freed that was not the plug-in's";
}

void HoldModifiers(int modifiers)
{
    standin::SetKeyHeld(VK_SHIFT, modifiers & Shift);
    standin::SetKeyHeld(VK_CONTROL, modifiers & Ctrl);
    standin::SetKeyHeld(VK_MENU, modifiers & Alt);
}

int BeepsSinceAsked()
{
    size_t beeps = standin::Beeps().size();
    int since = (int)(beeps - beepsAsked);
    beepsAsked = beeps;
    return since;
}

void LetBeepTimerRun()
{
    standin::FireTimers();
}

void SetClipboardText(const Text& text)
{
    standin::SetClipboardText(text);
}

std::optional<Text> ClipboardText()
{
    return standin::ClipboardText();
}

std::optional<std::vector<BYTE>> ClipboardBlock()
{
    return standin::ClipboardBlock();
}

bool CanRefuseClipboard()
{
    return true;
}

void RefuseClipboard(ClipboardRefusal refusal)
{
    switch (refusal) {
    case ClipboardRefusal::HeldElsewhere:
        standin::HoldClipboardElsewhere(true);
        break;
    case ClipboardRefusal::NoConsoleWindow:
        standin::SetConsoleWindowHandle(nullptr);
        break;
    case ClipboardRefusal::NoMemory:
        standin::FailAllCalls(standin::Api::GlobalAlloc);
        break;
    case ClipboardRefusal::NoShrink:
        standin::FailAllCalls(standin::Api::GlobalReAlloc);
        break;
    case ClipboardRefusal::None:
        break;
    }
}

void StoreValue(HKEY root, const StoredValue& value)
{
    standin::SetRegistryValue(root, Path(), value.name, value.type, value.data);
}

std::optional<StoredValue> ReadValue(HKEY root, const Text& name)
{
    std::optional<standin::RegistryData> stored = standin::RegistryValue(root, Path(), name);
    if (!stored)
        return std::nullopt;
    return StoredValue{name, stored->type, stored->data};
}

bool SettingsKeyExists(HKEY root)
{
    return standin::RegistryKeyExists(root, Path());
}

std::vector<Text> ValueNames(HKEY root)
{
    std::vector<Text> names = standin::RegistryValueNames(root, Path());
    std::sort(names.begin(), names.end());
    return names;
}

bool CanDenyRegistry()
{
    return true;
}

void DenyRegistry(HKEY root)
{
    standin::DenyRegistryAccess(root);
}

void SetEnvironment(const Text& name, const std::optional<Text>& value)
{
    standin::SetEnvironment(name, value);
}

} // namespace harness
