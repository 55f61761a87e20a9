// Placeholder until the scene lands: count and clear.
#include "frame_timeline.h"

#include "win32_api.h"

#include <GL/gl.h>

int frameCount = 0;

bool RenderFrame() {
    ++frameCount;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}
