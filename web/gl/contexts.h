// GL contexts for the platform's wglCreateContext and friends. The canvas
// has one WebGL context for the page's life; each GL context made here is a
// fresh GL 1.1 state over it, and deleting one frees its lists and textures.
#pragma once

namespace kv17::gl {

struct Context;

// Null when the browser gives the canvas no WebGL context. `keepFrames`
// (fixed by the first call) keeps each frame readable after it is shown.
Context* CreateContext(const char* canvasSelector, bool keepFrames);
void MakeCurrent(Context* context);  // null: none current
void DeleteContext(Context* context);

}  // namespace kv17::gl
