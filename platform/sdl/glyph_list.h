// Compiling one extruded glyph into a GL display list.
#pragma once

#include "glyph_outline.h"
#include "glyph_tessellation.h"

#include <GL/gl.h>

#include <vector>

namespace kv17::platform {

// Compiles `list` (a valid list name, with a context current) from a glyph
// given in font units: one quad strip per contour (TrueType orientation) for
// the sides, each quad's outward normal on its last vertex; the front face,
// `fill`, at z = 0 with normal (0, 0, 1); the back face at z = -extrusion with
// normal (0, 0, -1). Every face is counter-clockwise seen from outside.
// Points are divided by `unitsPerEm`; the list ends with
// glTranslatef(advance, 0, 0).
void CompileGlyphList(GLuint list, const std::vector<Contour>& contours, const GlyphFill& fill,
                      double unitsPerEm, float extrusion, float advance);

}  // namespace kv17::platform
