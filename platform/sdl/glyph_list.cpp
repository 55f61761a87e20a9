#include "glyph_list.h"

#include <cmath>

namespace kv17::platform {

namespace {

void Vertex(OutlinePoint p, double unitsPerEm, GLfloat z) {
    glVertex3f((GLfloat)(p.x / unitsPerEm), (GLfloat)(p.y / unitsPerEm), z);
}

// Filled area lies right of travel, so outward is left of it. Back before
// front at each point makes every quad counter-clockwise seen from outside;
// a quad strip takes a flat-shaded quad's normal from its last vertex, so
// each point carries the normal of the edge that ends there.
void EmitSides(const Contour& contour, double unitsPerEm, GLfloat back) {
    const size_t n = contour.size();
    glBegin(GL_QUAD_STRIP);
    for (size_t k = 0; k <= n; ++k) {
        OutlinePoint from = contour[(k + n - 1) % n], to = contour[k % n];
        double ex = to.x - from.x, ey = to.y - from.y, length = std::hypot(ex, ey);
        glNormal3f((GLfloat)(-ey / length), (GLfloat)(ex / length), 0.0f);
        Vertex(to, unitsPerEm, back);
        Vertex(to, unitsPerEm, 0.0f);
    }
    glEnd();
}

// Normals are given inside each glBegin/glEnd: one set between primitives
// ends the list's vertex block in Mesa, and every block is a draw of its own.
void EmitFront(const GlyphFill& fill, double unitsPerEm) {
    for (const FillPrimitive& p : fill.primitives) {
        glBegin(p.mode);
        glNormal3f(0.0f, 0.0f, 1.0f);
        for (size_t i = p.first; i < p.first + p.count; ++i)
            Vertex(fill.points[i], unitsPerEm, 0.0f);
        glEnd();
    }
}

// The front's primitives, each turned to face -z: triangles and fans keep
// their first vertex and reverse the rest. A strip's triangles all share the
// winding of its first one: a strip of odd length runs backwards, one of even
// length (which would keep its winding backwards) repeats its first vertex,
// shifting every triangle's parity behind one degenerate triangle.
void EmitBack(const GlyphFill& fill, double unitsPerEm, GLfloat z) {
    for (const FillPrimitive& p : fill.primitives) {
        const OutlinePoint* v = &fill.points[p.first];
        glBegin(p.mode);
        glNormal3f(0.0f, 0.0f, -1.0f);
        if (p.mode == GL_TRIANGLES) {
            for (size_t i = 0; i + 2 < p.count; i += 3)
                for (size_t k : {i, i + 2, i + 1}) Vertex(v[k], unitsPerEm, z);
        } else if (p.mode == GL_TRIANGLE_FAN) {
            Vertex(v[0], unitsPerEm, z);
            for (size_t i = p.count - 1; i > 0; --i) Vertex(v[i], unitsPerEm, z);
        } else if (p.count % 2 == 1) {
            for (size_t i = p.count; i > 0; --i) Vertex(v[i - 1], unitsPerEm, z);
        } else {
            Vertex(v[0], unitsPerEm, z);
            for (size_t i = 0; i < p.count; ++i) Vertex(v[i], unitsPerEm, z);
        }
        glEnd();
    }
}

}  // namespace

void CompileGlyphList(GLuint list, const std::vector<Contour>& contours, const GlyphFill& fill,
                      double unitsPerEm, float extrusion, float advance) {
    glNewList(list, GL_COMPILE);
    // Sides first: their per-vertex normals then set the list's vertex layout
    // from the start, which compiles faster in Mesa.
    for (const Contour& contour : contours) EmitSides(contour, unitsPerEm, -extrusion);
    EmitFront(fill, unitsPerEm);
    EmitBack(fill, unitsPerEm, -extrusion);
    // Each list leaves the front face's normal current, as Win32's do.
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTranslatef(advance, 0.0f, 0.0f);
    glEndList();
}

}  // namespace kv17::platform
