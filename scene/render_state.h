// The GL state and textures every new context gets.
#pragma once

#include "win32_api.h"

#include <GL/gl.h>

extern GLuint textures[3];

bool InitScene();
bool LoadTextures();
