// Puts the demo state back to its start values. Plain assignments, no
// platform calls: the pure tests use it on every platform.
#pragma once

#include "demo_state.h"

#include <cstring>

inline void ResetDemoState() {
    memset(keyDown, 0, sizeof(keyDown));
    isActive = true;
    isFullscreen = true;
    spinRising = true;
    spinStepX = 0.1f;
    spinStepY = 0.1f;
    viewDepth = -5.0f;
    flashPending = false;
    appInstance = nullptr;
    mainWindow = nullptr;
    windowDC = nullptr;
    renderContext = nullptr;
}
