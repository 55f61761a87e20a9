// Running the whole demo in-process and saving chosen frames.
#pragma once

#include "capture_options.h"

// Runs DemoMain with the start question answered and the keys pressed as
// `options` say, writes each frame asked for to
// OUTDIR/frame-NNNNN.png (NNNNN = frameCount) right before it is presented,
// and presses Esc after the last one. Returns 0 when every frame was saved,
// else 1 after saying why on stderr.
int RunCapture(const CaptureOptions& options);
