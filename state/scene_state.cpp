#include "scene_state.h"

#include <cstring>

int frameCount = 0;

float cubeAngleX = 0.0f;
float cubeAngleY = 0.0f;

float pyramidPosX = 0.0f;
float pyramidPosY = 0.0f;
float pyramidAngle = 0.0f;
float pyramidAxisX = 0.0f;
float pyramidAxisY = 0.0f;
float pyramidAxisZ = 0.0f;

float yawRamp = 1.0f;
float tiltRamp = 1.0f;

float scrollOffset = 0.0f;

GLuint textures[3];

GLuint fontBase = 0;
GLYPHMETRICSFLOAT glyphMetrics[256];
GLuint advanceListBase = 0;

void ResetSceneState() {
    frameCount = 0;
    cubeAngleX = 0.0f;
    cubeAngleY = 0.0f;
    pyramidPosX = 0.0f;
    pyramidPosY = 0.0f;
    pyramidAngle = 0.0f;
    pyramidAxisX = 0.0f;
    pyramidAxisY = 0.0f;
    pyramidAxisZ = 0.0f;
    yawRamp = 1.0f;
    tiltRamp = 1.0f;
    scrollOffset = 0.0f;
    memset(textures, 0, sizeof textures);
    fontBase = 0;
    memset(glyphMetrics, 0, sizeof glyphMetrics);
    advanceListBase = 0;
}
