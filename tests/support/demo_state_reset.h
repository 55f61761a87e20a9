// Puts the demo state and the scene's variables back to their start values,
// so each test begins before frame 1. Plain assignments, no platform calls:
// the pure tests use it on every platform.
#pragma once

#include "demo_state.h"
#include "frame_timeline.h"
#include "outline_font.h"
#include "render_state.h"

#include <cstring>

inline void ResetDemoState() {
    memset(keyDown, 0, sizeof(keyDown));
    isActive = isFullscreen = spinRising = true;
    flashPending = false;
    spinStepX = spinStepY = 0.1f;
    viewDepth = -5.0f;
    appInstance = nullptr;
    mainWindow = nullptr;
    windowDC = nullptr;
    renderContext = nullptr;
}

inline void ResetSceneVariables() {
    frameCount = 0;
    cubeAngleX = cubeAngleY = pyramidPosX = pyramidPosY = pyramidAngle = 0.0f;
    pyramidAxisX = pyramidAxisY = pyramidAxisZ = scrollOffset = 0.0f;
    yawRamp = tiltRamp = 1.0f;
    fontBase = advanceListBase = textures[0] = textures[1] = textures[2] = 0;
}
