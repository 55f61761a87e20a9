// The outline-font scroller: one extruded glyph display list per character
// code, and a line of text that creeps leftward on every call.
#pragma once

// How far each PrintScroller call moves the line to the left.
constexpr float kScrollStep = 0.05f;

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
