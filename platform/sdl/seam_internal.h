// What the platform's own files use of the test seam: one call at the top of
// each seam-aware function.
#pragma once

namespace kv17::seam {

// Records the call (when recording) and says whether an injected failure is
// due for it now; the caller then returns what Win32 returns on failure.
bool CallFails(const char* function);

// Records the call of a function that has no failure to inject.
void RecordCall(const char* function);

// Scripted answer for a message box, or -1 when boxes are shown for real.
int ScriptedMessageBoxAnswer(const char* text, const char* caption, unsigned flags);
bool MessageBoxesGoToStderr();

}  // namespace kv17::seam
