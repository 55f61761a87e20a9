// The two matrix stacks and the calls that change them.
#include "state.h"

#include <cmath>

namespace kv17::gl {

namespace {

// GL's minimum stack depths.
constexpr size_t kModelViewDepth = 32;
constexpr size_t kProjectionDepth = 2;

std::vector<Matrix>& CurrentStack(Context& c) {
    return c.matrixMode == GL_PROJECTION ? c.projection : c.modelView;
}

// The rotation GL defines, in float: exact sines and cosines for the three
// axes, the general form for any other axis (normalised first).
Matrix Rotation(float angle, float x, float y, float z) {
    const float s = (float)std::sin(angle * M_PI / 180.0);
    const float c = (float)std::cos(angle * M_PI / 180.0);
    Matrix m = Identity();
    auto at = [&m](int row, int column) -> float& { return m[column * 4 + row]; };
    if (y == 0 && z == 0 && x != 0) {
        const float sx = x < 0 ? -s : s;
        at(1, 1) = c, at(2, 2) = c, at(1, 2) = -sx, at(2, 1) = sx;
        return m;
    }
    if (x == 0 && z == 0 && y != 0) {
        const float sy = y < 0 ? -s : s;
        at(0, 0) = c, at(2, 2) = c, at(0, 2) = sy, at(2, 0) = -sy;
        return m;
    }
    if (x == 0 && y == 0 && z != 0) {
        const float sz = z < 0 ? -s : s;
        at(0, 0) = c, at(1, 1) = c, at(0, 1) = -sz, at(1, 0) = sz;
        return m;
    }
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length <= 1.0e-4f) return m;  // no axis: no rotation
    x /= length, y /= length, z /= length;
    const float xx = x * x, yy = y * y, zz = z * z, xy = x * y, yz = y * z, zx = z * x;
    const float xs = x * s, ys = y * s, zs = z * s, oneMinusC = 1.0f - c;
    at(0, 0) = oneMinusC * xx + c, at(0, 1) = oneMinusC * xy - zs, at(0, 2) = oneMinusC * zx + ys;
    at(1, 0) = oneMinusC * xy + zs, at(1, 1) = oneMinusC * yy + c, at(1, 2) = oneMinusC * yz - xs;
    at(2, 0) = oneMinusC * zx - ys, at(2, 1) = oneMinusC * yz + xs, at(2, 2) = oneMinusC * zz + c;
    return m;
}

}  // namespace

Matrix Identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix product{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            product[column * 4 + row] = a[row] * b[column * 4] + a[4 + row] * b[column * 4 + 1] +
                                        a[8 + row] * b[column * 4 + 2] +
                                        a[12 + row] * b[column * 4 + 3];
    return product;
}

void MultiplyCurrent(const Matrix& m) {
    Context* c = Current();
    if (!c || c->inBeginEnd || Recorded(*c, [=] { MultiplyCurrent(m); })) return;
    c->CurrentMatrix() = Multiply(c->CurrentMatrix(), m);
}

}  // namespace kv17::gl

using namespace kv17::gl;

extern "C" {

void glMatrixMode(GLenum mode) {
    Context* c = Current();
    if (!c || Recorded(*c, [=] { glMatrixMode(mode); })) return;
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION) c->matrixMode = mode;
}

void glLoadIdentity(void) {
    Context* c = Current();
    if (!c || Recorded(*c, [] { glLoadIdentity(); })) return;
    c->CurrentMatrix() = Identity();
}

void glPushMatrix(void) {
    Context* c = Current();
    if (!c || Recorded(*c, [] { glPushMatrix(); })) return;
    std::vector<Matrix>& stack = CurrentStack(*c);
    const size_t depth = c->matrixMode == GL_PROJECTION ? kProjectionDepth : kModelViewDepth;
    if (stack.size() < depth) stack.push_back(stack.back());
}

void glPopMatrix(void) {
    Context* c = Current();
    if (!c || Recorded(*c, [] { glPopMatrix(); })) return;
    std::vector<Matrix>& stack = CurrentStack(*c);
    if (stack.size() > 1) stack.pop_back();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    Matrix m = Identity();
    m[12] = x, m[13] = y, m[14] = z;
    MultiplyCurrent(m);
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    MultiplyCurrent(Rotation(angle, x, y, z));
}

}  // extern "C"
