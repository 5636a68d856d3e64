#include "plugin/state.h"

SettingsState Settings = LoadTimeSettings;

void InstallDefaultSettings()
{
    Settings.HotkeyUp = DefaultHotkeyUp;
    Settings.HotkeyDown = DefaultHotkeyDown;
    Settings.Wrap = 1;
    Settings.ErrorSound = 1;
}
