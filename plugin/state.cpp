#include "plugin/state.h"

#include "navigation/beep_limiter.h"
#include "navigation/terminal_marks.h"
#include "navigation/typed_filter.h"
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
