#include "frame_timeline.h"

#include "demo_state.h"
#include "greeting_text.h"
#include "outline_font.h"
#include "scene_state.h"

#include <GL/gl.h>

#include <climits>

namespace {

// Frames up to this one draw the cube, every later frame the pyramids.
constexpr int kLastCubeFrame = 1000;

constexpr float kYawEnd = 720.0f;
// The sum is formed in double and stored as float; every value on the way
// is a multiple of 0.5, so nothing is rounded.
constexpr double kYawStep = 1.5;
constexpr float kTiltEnd = 180.0f;
// NOTE: a double on purpose: each product is rounded once, from double to
// float; a float factor would round differently and end elsewhere.
constexpr double kTiltFactor = 1.01;

constexpr float kPyramidDepth = -12.0f;

struct CubeCorner {
    GLfloat s, t;
    GLfloat x, y, z;
};

struct CubeFace {
    GLfloat nx, ny, nz;
    CubeCorner corners[4];
};

// Front, back, top, bottom, right, left. The last texture coordinate,
// (0, 1), stays current for the pyramids and the greeting line.
constexpr CubeFace kCubeFaces[6] = {
    {0, 0, 1, {{0, 0, -1, -1, 1}, {1, 0, 1, -1, 1}, {1, 1, 1, 1, 1}, {0, 1, -1, 1, 1}}},
    {0, 0, -1, {{1, 0, -1, -1, -1}, {1, 1, -1, 1, -1}, {0, 1, 1, 1, -1}, {0, 0, 1, -1, -1}}},
    {0, 1, 0, {{0, 1, -1, 1, -1}, {0, 0, -1, 1, 1}, {1, 0, 1, 1, 1}, {1, 1, 1, 1, -1}}},
    {0, -1, 0, {{1, 1, -1, -1, -1}, {0, 1, 1, -1, -1}, {0, 0, 1, -1, 1}, {1, 0, -1, -1, 1}}},
    {1, 0, 0, {{1, 0, 1, -1, -1}, {1, 1, 1, 1, -1}, {0, 1, 1, 1, 1}, {0, 0, 1, -1, 1}}},
    {-1, 0, 0, {{0, 0, -1, -1, -1}, {1, 0, -1, -1, 1}, {1, 1, -1, 1, 1}, {0, 1, -1, 1, -1}}},
};

struct PyramidCorner {
    GLfloat r, g, b;
    GLfloat x, y, z;
};

// Four sides around a red apex; the base corners alternate green and blue
// and the base itself is not drawn. The last colour given is green.
constexpr PyramidCorner kRed = {1, 0, 0, 0, 1, 0};
constexpr PyramidCorner kPyramidSides[4][3] = {
    {kRed, {0, 1, 0, -1, -1, 1}, {0, 0, 1, 1, -1, 1}},    // front
    {kRed, {0, 0, 1, 1, -1, 1}, {0, 1, 0, 1, -1, -1}},    // right
    {kRed, {0, 1, 0, 1, -1, -1}, {0, 0, 1, -1, -1, -1}},  // back
    {kRed, {0, 0, 1, -1, -1, -1}, {0, 1, 0, -1, -1, 1}},  // left
};

void DrawCube() {
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    for (const CubeFace& face : kCubeFaces) {
        glNormal3f(face.nx, face.ny, face.nz);
        for (const CubeCorner& corner : face.corners) {
            glTexCoord2f(corner.s, corner.t);
            glVertex3f(corner.x, corner.y, corner.z);
        }
    }
    glEnd();
}

// An opaque white square in the cube's z = 0 plane: blending is never
// enabled, so the blend function set here changes nothing.
void DrawFlash() {
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3f(-5.0f, 5.0f, 0.0f);
    glVertex3f(-5.0f, -5.0f, 0.0f);
    glVertex3f(5.0f, -5.0f, 0.0f);
    glVertex3f(5.0f, 5.0f, 0.0f);
    glEnd();
    flashPending = false;
}

void RenderCubeFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, viewDepth);
    glPushMatrix();
    glRotatef(cubeAngleX, 1.0f, 0.0f, 0.0f);
    glRotatef(cubeAngleY, 0.0f, 1.0f, 0.0f);
    glBindTexture(GL_TEXTURE_2D, textures[1]);
    if (flashPending)
        DrawFlash();
    else
        DrawCube();
    cubeAngleX += spinStepX;
    cubeAngleY += spinStepY;
    glPopMatrix();
}

// Yaw about y up to 720 degrees, then tilt about (0, 1, 1) up to 180; the
// tilt starts on the frame the yaw ends and overwrites that frame's angle.
void AdvanceRamps() {
    if (yawRamp <= kYawEnd) {
        yawRamp = (float)(yawRamp + kYawStep);
        pyramidAngle = yawRamp;
        pyramidAxisX = 0.0f;
        pyramidAxisY = 1.0f;
        pyramidAxisZ = 0.0f;
    }
    if (yawRamp >= kYawEnd && tiltRamp <= kTiltEnd) {
        tiltRamp = (float)(tiltRamp * kTiltFactor);
        pyramidAngle = tiltRamp;
        pyramidAxisX = 0.0f;
        pyramidAxisY = 1.0f;
        pyramidAxisZ = 1.0f;
    }
}

// The first pyramid keeps the previous frame's transform, so from the second
// pyramid frame on it trails the third by one ramp step.
void RenderPyramidFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawPyramid();
    AdvanceRamps();
    pyramidPosX = -1.5f;
    pyramidPosY = -1.0f;
    viewDepth = kPyramidDepth;
    DrawPyramid();
    pyramidPosX = 1.5f;
    pyramidPosY = 1.0f;
    DrawPyramid();
}

}  // namespace

void DrawPyramid() {
    glLoadIdentity();
    glTranslatef(pyramidPosX, pyramidPosY, viewDepth);
    // NOTE: before the first ramp step the axis is (0, 0, 0), about which
    // GL defines no rotation; that pyramid is drawn unturned.
    if (pyramidAxisX != 0.0f || pyramidAxisY != 0.0f || pyramidAxisZ != 0.0f)
        glRotatef(pyramidAngle, pyramidAxisX, pyramidAxisY, pyramidAxisZ);
    glBegin(GL_TRIANGLES);
    for (const auto& side : kPyramidSides) {
        for (const PyramidCorner& corner : side) {
            glColor3f(corner.r, corner.g, corner.b);
            glVertex3f(corner.x, corner.y, corner.z);
        }
    }
    glEnd();
}

bool RenderFrame() {
    if (frameCount < INT_MAX) ++frameCount;
    if (frameCount <= kLastCubeFrame)
        RenderCubeFrame();
    else
        RenderPyramidFrame();
    // The line starts from the matrix the frame left: the camera translation
    // in the cube phase, the third pyramid's transform in the pyramid phase.
    PrintScroller(greetingText);
    return true;
}
