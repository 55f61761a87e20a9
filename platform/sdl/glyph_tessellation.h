// Filling glyph contours with triangles: the GLU tessellator does the work.
#pragma once

#include "glyph_outline.h"

#include <GL/gl.h>

#include <vector>

namespace kv17::platform {

// One primitive as GLU emits it: GL_TRIANGLES, GL_TRIANGLE_FAN or
// GL_TRIANGLE_STRIP over points[first .. first + count).
struct FillPrimitive {
    GLenum mode;
    size_t first;
    size_t count;
};

struct GlyphFill {
    std::vector<OutlinePoint> points;
    std::vector<FillPrimitive> primitives;
};

// Triangles covering what `contours` enclose under the non-zero winding rule
// (TrueType's fill rule), counter-clockwise seen from +z. False when the
// tessellator reports an error.
bool FillContours(const std::vector<Contour>& contours, GlyphFill* fill);

}  // namespace kv17::platform
