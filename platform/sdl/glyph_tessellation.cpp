#include "glyph_tessellation.h"

#include <GL/glu.h>

#include <array>
#include <deque>

namespace kv17::platform {

namespace {

using Vertex = std::array<GLdouble, 3>;

struct Tessellation {
    GlyphFill* fill;
    std::deque<Vertex> vertices;  // stable addresses: GLU hands them back
    bool failed = false;
};

void OnBegin(GLenum mode, void* user) {
    GlyphFill& fill = *static_cast<Tessellation*>(user)->fill;
    fill.primitives.push_back({mode, fill.points.size(), 0});
}

void OnVertex(void* vertex, void* user) {
    const Vertex& v = *static_cast<const Vertex*>(vertex);
    GlyphFill& fill = *static_cast<Tessellation*>(user)->fill;
    fill.points.push_back({v[0], v[1]});
    ++fill.primitives.back().count;
}

void OnCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* user) {
    auto& t = *static_cast<Tessellation*>(user);
    t.vertices.push_back({coords[0], coords[1], 0.0});
    *out = t.vertices.back().data();
}

void OnError(GLenum, void* user) { static_cast<Tessellation*>(user)->failed = true; }

template <typename Callback>
void Register(GLUtesselator* tess, GLenum which, Callback callback) {
    gluTessCallback(tess, which, reinterpret_cast<_GLUfuncptr>(callback));
}

}  // namespace

bool FillContours(const std::vector<Contour>& contours, GlyphFill* fill) {
    fill->points.clear();
    fill->primitives.clear();
    if (contours.empty()) return true;
    GLUtesselator* tess = gluNewTess();
    if (!tess) return false;
    Register(tess, GLU_TESS_BEGIN_DATA, OnBegin);
    Register(tess, GLU_TESS_VERTEX_DATA, OnVertex);
    Register(tess, GLU_TESS_COMBINE_DATA, OnCombine);
    Register(tess, GLU_TESS_ERROR_DATA, OnError);
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    // With the normal given, every primitive runs counter-clockwise about it.
    gluTessNormal(tess, 0.0, 0.0, 1.0);

    Tessellation t{fill, {}, false};
    for (const Contour& contour : contours)
        for (const OutlinePoint& p : contour) t.vertices.push_back({p.x, p.y, 0.0});

    gluTessBeginPolygon(tess, &t);
    size_t next = 0;
    for (const Contour& contour : contours) {
        gluTessBeginContour(tess);
        for (size_t i = 0; i < contour.size(); ++i, ++next) {
            GLdouble* v = t.vertices[next].data();
            gluTessVertex(tess, v, v);
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    return !t.failed;
}

}  // namespace kv17::platform
