// The outline-font scroller: one extruded glyph display list per character
// code, and a line of text that creeps leftward on every call.
#pragma once

#include "win32_api.h"

#include <GL/gl.h>

extern GLuint fontBase;
extern GLYPHMETRICSFLOAT glyphMetrics[256];
extern float scrollOffset;

void BuildOutlineFont();
void DeleteOutlineFont();
void PrintScroller(const char* format, ...);
