// Entry and main loop: the start question, the message pump, and the frame
// work of each pass (draw, present, camera keys, spin rhythm, F1 toggle).
#pragma once

#include "win32_api.h"

int WINAPI DemoMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// One update of the rhythm that swells and ebbs the cube's spin.
void AdvanceSpinRhythm();
