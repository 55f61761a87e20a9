#include "greeting_end.h"

#include "capture_options.h"
#include "greeting_text.h"
#include "outline_font.h"
#include "scene_state.h"

namespace {

// Worked out from the scene rather than found by rendering, so that a
// video's length, and its progress, are known from the first frame:
// - the line starts at x = 5 - scrollOffset, as long as its glyphs'
//   advances add up to (L, about 539 em in DejaVu Sans Bold, the face
//   fontconfig gives for the demo's font on Debian), and moves kScrollStep
//   to the left on every frame;
// - from about frame 2,000 on, when the pyramids have stopped turning, it
//   hangs from the third pyramid at (1.5, 1, -12), turned 180 degrees about
//   (0, 1, 1): a point x along the line shows at 1.5 - x, 14 deep, where
//   the view (45 degrees high, 4:3) reaches 14 * tan(22.5) * 4 / 3 = 7.73
//   to either side;
// - so the line's end has passed the right edge once
//   1.5 - (5 - scrollOffset + L) > 7.73, that is scrollOffset > L + 11.23.
// With DejaVu that is frame 11,013, two frames after the last glyph's box
// leaves the view.
constexpr double kOffsetPastLength = 11.23;

}  // namespace

int FrameGreetingHasLeft() {
    double length = 0.0;
    for (const char* c = greetingText; *c; ++c)
        length += glyphMetrics[(unsigned char)*c].gmfCellIncX;
    // Summed in float, as PrintScroller does, which drifts from 0.05 * n.
    float offset = 0.0f;
    for (int frame = 1; frame < kLastFrameAccepted; ++frame) {
        offset += kScrollStep;
        if (offset > length + kOffsetPastLength) return frame;
    }
    return kLastFrameAccepted;
}
