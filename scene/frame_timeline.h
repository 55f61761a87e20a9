// The frame timeline: the spinning cube with its flashes, then the pyramids,
// and the greeting line on every frame.
#pragma once

extern int frameCount;

bool RenderFrame();
