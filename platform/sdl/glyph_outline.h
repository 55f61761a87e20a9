// Glyph outlines as closed polygons: FreeType's curves replaced by chords.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

namespace kv17::platform {

struct OutlinePoint {
    double x;
    double y;
};

// A closed polygon: the edge from the last point back to the first is
// implied, and no two consecutive points are equal.
using Contour = std::vector<OutlinePoint>;

// The contours of `outline`, in its own units, with every quadratic or cubic
// arc replaced by chords that stray at most `tolerance` from it. Contours are
// returned in TrueType orientation (filled area on the right of travel, outer
// contours clockwise) whatever the font's own orientation; contours that
// enclose nothing (fewer than three points) are dropped. False when FreeType
// finds the outline malformed.
bool FlattenOutline(FT_Outline* outline, double tolerance, std::vector<Contour>* contours);

}  // namespace kv17::platform
