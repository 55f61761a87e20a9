// The scene's process-wide variables: the timeline's counters and angles,
// the scroll position, and the names of the GL objects of the current
// context. They survive a window rebuild; only the GL names are replaced.
#pragma once

#include "win32_api.h"

#include <GL/gl.h>

// RenderFrame calls so far; stops at INT_MAX instead of wrapping.
extern int frameCount;

// Degrees; advanced by the spin steps after every cube frame.
extern float cubeAngleX;
extern float cubeAngleY;

// The transform DrawPyramid draws with; only the pyramid phase writes it.
extern float pyramidPosX;
extern float pyramidPosY;
extern float pyramidAngle;
extern float pyramidAxisX;
extern float pyramidAxisY;
extern float pyramidAxisZ;

// The two angle ramps the pyramids turn through, one after the other.
extern float yawRamp;
extern float tiltRamp;

// How far the greeting line has moved left.
extern float scrollOffset;

// Nearest, linear and mipmapped copies of "Data/texture.bmp"; the names of
// an earlier context are simply overwritten.
extern GLuint textures[3];

extern GLuint fontBase;                      // first of the 256 glyph lists
extern GLYPHMETRICSFLOAT glyphMetrics[256];  // filled by the outline extraction
// Advance-only twins of the glyph lists (0 when there are none): list
// advanceListBase + c moves the origin exactly as list fontBase + c does and
// draws nothing.
extern GLuint advanceListBase;

// Puts every variable above back to its start value, as at process start.
void ResetSceneState();
