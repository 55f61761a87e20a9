// The frame timeline: the spinning cube with its flashes, then the pyramids,
// and the greeting line on every frame.
#pragma once

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

// Draws one frame into the back buffer: the cube (or the flash) on frames 1
// to 1000, the pyramids after that, the greeting line always. Always true.
bool RenderFrame();

// One pyramid at the current pyramid transform; leaves the modelview matrix
// at that transform and the current colour green.
void DrawPyramid();
