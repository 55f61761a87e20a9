// Placeholder until the outline font lands.
#include "outline_font.h"

GLuint fontBase = 0;
GLYPHMETRICSFLOAT glyphMetrics[256];
float scrollOffset = 0.0f;

void BuildOutlineFont() {}
void DeleteOutlineFont() {}
void PrintScroller(const char*, ...) {}
