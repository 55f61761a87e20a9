// The outline-font scroller: one extruded glyph display list per character
// code, and a line of text that creeps leftward on every call.
#pragma once

#include "win32_api.h"

#include <GL/gl.h>

extern GLuint fontBase;                      // first of the 256 glyph lists
extern GLYPHMETRICSFLOAT glyphMetrics[256];  // filled by the outline extraction
extern float scrollOffset;                   // how far the line has moved left

// How far each PrintScroller call moves the line to the left.
constexpr float kScrollStep = 0.05f;

// Advance-only twins of the glyph lists (0 when there are none): list
// advanceListBase + c moves the origin exactly as list fontBase + c does and
// draws nothing.
extern GLuint advanceListBase;
// PrintScroller draws a glyph that lies wholly outside the view with its
// advance-only twin. The image and the final matrix are the same either way;
// drawing every glyph just costs more.
extern bool cullHiddenGlyphs;

// Builds the glyph lists on the current context from the font "Glass Gauge".
void BuildOutlineFont();
// Deletes the lists of the last build from the current context, if any.
void DeleteOutlineFont();
// Advances the scroll and draws the formatted text (cut at 1023 bytes) with
// one glCallLists, from (5 - scrollOffset, -2, 0) in the current modelview.
void PrintScroller(const char* format, ...);
