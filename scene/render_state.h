// The GL state and textures every new context gets.
#pragma once

#include "win32_api.h"

#include <GL/gl.h>

// Light 1: configured and switched on, though lighting itself stays off.
extern const GLfloat lightAmbient[4];
extern const GLfloat lightDiffuse[4];
extern const GLfloat lightPosition[4];

// Loads the textures, sets the fixed state, configures light 1 and builds
// the outline font. False, with nothing else done, when the texture failed.
bool InitScene();

// Reads "Data/texture.bmp" into the three texture objects; false, without
// touching GL, when no image could be read, after a line on stderr naming
// the file and the reason.
bool LoadTextures();
