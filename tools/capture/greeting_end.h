// When the greeting line has left the screen.
#pragma once

// The frame by which the whole greeting line has scrolled out of view for
// good, from the font's glyph advances; call it once the demo has built its
// font.
int FrameGreetingHasLeft();
