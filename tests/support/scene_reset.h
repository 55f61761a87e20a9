// Puts the scene's process-wide variables back to their start values, so
// each test begins with frame 1 and the ramps unrun.
#pragma once

#include "frame_timeline.h"
#include "outline_font.h"
#include "render_state.h"

inline void ResetSceneVariables() {
    frameCount = 0;
    cubeAngleX = 0.0f;
    cubeAngleY = 0.0f;
    pyramidPosX = 0.0f;
    pyramidPosY = 0.0f;
    pyramidAngle = 0.0f;
    pyramidAxisX = 0.0f;
    pyramidAxisY = 0.0f;
    pyramidAxisZ = 0.0f;
    yawRamp = 1.0f;
    tiltRamp = 1.0f;
    scrollOffset = 0.0f;
    fontBase = 0;
    advanceListBase = 0;
    textures[0] = textures[1] = textures[2] = 0;
}
