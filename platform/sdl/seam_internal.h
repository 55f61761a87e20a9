// What the platform's own files use of the test seam: one call at the top of
// each seam-aware function. Two implementations, chosen when a program is
// linked: test_seam.cpp for the tests and tools, no_seam.cpp for the demo.
#pragma once

#include "win32_api.h"

namespace kv17::seam {

// Records the call (when recording) and says whether an injected failure is
// due for it now; the caller then returns what Win32 returns on failure.
bool CallFails(const char* function);

// Records the call of a function that has no failure to inject.
void RecordCall(const char* function);

// Scripted answer for a message box, or -1 when boxes are shown for real.
int ScriptedMessageBoxAnswer(const char* text, const char* caption, unsigned flags);
bool MessageBoxesGoToStderr();

// Right before a buffer swap, with the back buffer still intact.
void BeforeSwap(HDC dc);

// Whether frames are presented at the display's pace: the demo's are; the
// tests and tools render as fast as they can.
bool PaceFrames();

}  // namespace kv17::seam
