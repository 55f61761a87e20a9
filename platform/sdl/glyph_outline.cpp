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

// Whether `p` lies within `tolerance` of the line through `a` and `b` (of `a`
// when they meet); compared squared, which spares the square roots.
bool IsNearChord(OutlinePoint p, OutlinePoint a, OutlinePoint b, double tolerance) {
    double dx = b.x - a.x, dy = b.y - a.y, px = p.x - a.x, py = p.y - a.y;
    double length2 = dx * dx + dy * dy;
    if (length2 == 0) return px * px + py * py <= tolerance * tolerance;
    double cross = px * dy - py * dx;
    return cross * cross <= tolerance * tolerance * length2;
}

void AddPoint(Flattening& f, OutlinePoint p) {
    Contour& contour = f.contours->back();
    if (contour.back().x != p.x || contour.back().y != p.y) contour.push_back(p);
    f.pen = p;
}

// A quadratic arc strays furthest from its chord at its midpoint.
void AddConic(Flattening& f, OutlinePoint from, OutlinePoint control, OutlinePoint to, int depth) {
    OutlinePoint a = Midpoint(from, control), b = Midpoint(control, to), middle = Midpoint(a, b);
    if (depth >= kMaxHalvings || IsNearChord(middle, from, to, f.tolerance)) {
        AddPoint(f, to);
        return;
    }
    AddConic(f, from, a, middle, depth + 1);
    AddConic(f, middle, b, to, depth + 1);
}

// A cubic arc stays within 3/4 of its control points' distance from the chord.
void AddCubic(Flattening& f, OutlinePoint from, OutlinePoint c1, OutlinePoint c2, OutlinePoint to,
              int depth) {
    double reach = f.tolerance / 0.75;
    if (depth >= kMaxHalvings ||
        (IsNearChord(c1, from, to, reach) && IsNearChord(c2, from, to, reach))) {
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
