// Placeholder until the scene lands: the least the shell needs.
#include "render_state.h"

GLuint textures[3];

bool LoadTextures() { return true; }

bool InitScene() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    return LoadTextures();
}
