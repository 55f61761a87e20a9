#include "glyph_outline.h"

#include FT_OUTLINE_H

#include <algorithm>

namespace kv17::platform {

namespace {

// Halving stops here even if the tolerance is not yet met: 2^10 chords per arc.
constexpr int kMaxHalvings = 10;

struct Flattening {
    std::vector<Contour>* contours;
    double tolerance;
    OutlinePoint pen;
};

OutlinePoint PointOf(const FT_Vector* v) { return {(double)v->x, (double)v->y}; }
OutlinePoint Midpoint(OutlinePoint a, OutlinePoint b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

// Whether `p` lies within `tolerance` of `q`; compared squared, which spares
// the square root.
bool IsNear(OutlinePoint p, OutlinePoint q, double tolerance) {
    double dx = p.x - q.x, dy = p.y - q.y;
    return dx * dx + dy * dy <= tolerance * tolerance;
}

// The point a third of the way from `a` to `b`.
OutlinePoint Third(OutlinePoint a, OutlinePoint b) {
    return {a.x + (b.x - a.x) / 3, a.y + (b.y - a.y) / 3};
}

void AddPoint(Flattening& f, OutlinePoint p) {
    Contour& contour = f.contours->back();
    if (contour.back().x != p.x || contour.back().y != p.y) contour.push_back(p);
    f.pen = p;
}

// The chord replaces the arc when every point of the arc lies within the
// tolerance of the chord's point at the same parameter t, which bounds its
// distance from the chord segment, not merely from the chord's line: an arc
// that doubles back past its end point strays along the line too. For a
// quadratic arc that offset is 2t(1-t) times the control point's offset
// from the chord's midpoint: at most half of it, reached at the arc's
// midpoint.
void AddConic(Flattening& f, OutlinePoint from, OutlinePoint control, OutlinePoint to, int depth) {
    OutlinePoint a = Midpoint(from, control), b = Midpoint(control, to), middle = Midpoint(a, b);
    if (depth >= kMaxHalvings || IsNear(middle, Midpoint(from, to), f.tolerance)) {
        AddPoint(f, to);
        return;
    }
    AddConic(f, from, a, middle, depth + 1);
    AddConic(f, middle, b, to, depth + 1);
}

// For a cubic arc the offset from the chord's point at t is 3t(1-t) times a
// mix of the control points' offsets from the chord's thirds: at most 3/4 of
// the larger one.
void AddCubic(Flattening& f, OutlinePoint from, OutlinePoint c1, OutlinePoint c2, OutlinePoint to,
              int depth) {
    double reach = f.tolerance / 0.75;
    if (depth >= kMaxHalvings ||
        (IsNear(c1, Third(from, to), reach) && IsNear(c2, Third(to, from), reach))) {
        AddPoint(f, to);
        return;
    }
    OutlinePoint a = Midpoint(from, c1), b = Midpoint(c1, c2), c = Midpoint(c2, to);
    OutlinePoint ab = Midpoint(a, b), bc = Midpoint(b, c), middle = Midpoint(ab, bc);
    AddCubic(f, from, a, ab, middle, depth + 1);
    AddCubic(f, middle, bc, c, to, depth + 1);
}

int MoveTo(const FT_Vector* to, void* user) {
    auto& f = *static_cast<Flattening*>(user);
    f.pen = PointOf(to);
    f.contours->push_back({f.pen});
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    AddPoint(*static_cast<Flattening*>(user), PointOf(to));
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto& f = *static_cast<Flattening*>(user);
    AddConic(f, f.pen, PointOf(control), PointOf(to), 0);
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto& f = *static_cast<Flattening*>(user);
    AddCubic(f, f.pen, PointOf(c1), PointOf(c2), PointOf(to), 0);
    return 0;
}

}  // namespace

bool FlattenOutline(FT_Outline* outline, double tolerance, std::vector<Contour>* contours) {
    contours->clear();
    Flattening flattening{contours, tolerance, {0, 0}};
    const FT_Outline_Funcs funcs = {MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    if (FT_Outline_Decompose(outline, &funcs, &flattening) != 0) return false;

    // FreeType closes each contour explicitly; here the closing edge is implied.
    for (Contour& contour : *contours) {
        if (contour.size() > 1 && contour.back().x == contour.front().x &&
            contour.back().y == contour.front().y)
            contour.pop_back();
    }
    std::erase_if(*contours, [](const Contour& c) { return c.size() < 3; });
    if (FT_Outline_Get_Orientation(outline) == FT_ORIENTATION_POSTSCRIPT) {
        for (Contour& contour : *contours) std::reverse(contour.begin(), contour.end());
    }
    return true;
}

}  // namespace kv17::platform
