// Placeholder until the scene lands: the least the shell needs.
#include "render_state.h"

#include <cstdio>

GLuint textures[3];

bool LoadTextures() {
    FILE* file = fopen("Data/texture.bmp", "r");
    if (!file) return false;
    fclose(file);
    return true;
}

bool InitScene() {
    if (!LoadTextures()) return false;
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    return true;
}
