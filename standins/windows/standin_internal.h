// Shared by the stand-in's bodies: the call log with its fault decisions,
// and each area's reset.
#pragma once

#include <string>

#include "standins/windows/standin_control.h"

namespace standin {

// Logs a call of api and says whether it must fail this time.
bool CallFails(Api api);

void ResetCalls();
void ResetConsole(int columns, int rows);
void ResetUser();
void ResetRegistry();
void ResetSystem();
void ResetClipboard();

// Windows compares these names ignoring case; ASCII folding is enough here.
std::u16string FoldCase(const std::u16string& text);

} // namespace standin
