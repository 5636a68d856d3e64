#include "plugin/state.h"

#include "navigation/navigation.h"
#include "settings/arguments.h"

UserSettings Settings = DefaultSettings;
StartupFacts Startup = LoadTimeFacts;
int32_t visibleMarker = 0;

void ResetModuleState(void)
{
    Settings = DefaultSettings;
    Startup = LoadTimeFacts;
    visibleMarker = 0;
    ErrorBeep = LoadTimeBeep;
    TypingStart = NoInputStart;
    KeystrokeSinceEnteredLine = false;
    ArgumentList = ArgumentListState{};
}
