// The frame timeline: the spinning cube with its flashes, then the pyramids,
// and the greeting line on every frame.
#pragma once

// Draws one frame into the back buffer: the cube (or the flash) on frames 1
// to 1000, the pyramids after that, the greeting line always. Always true.
bool RenderFrame();

// One pyramid at the current pyramid transform; leaves the modelview matrix
// at that transform and the current colour green.
void DrawPyramid();
