// Flattening: each arc within a unit of its chords, a flat one in one chord, contours clockwise.
#include "glyph_outline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

using namespace kv17::platform;

namespace {

// The point at `t` of the Bezier arc over `arc` (de Casteljau).
OutlinePoint At(const std::vector<FT_Vector>& arc, double t) {
    std::vector<OutlinePoint> p;
    for (FT_Vector v : arc) p.push_back({(double)v.x, (double)v.y});
    for (size_t n = p.size(); n > 1; --n)
        for (size_t i = 0; i + 1 < n; ++i)
            p[i] = {p[i].x + t * (p[i + 1].x - p[i].x), p[i].y + t * (p[i + 1].y - p[i].y)};
    return p[0];
}

double DistanceToContour(OutlinePoint p, const Contour& c) {
    double best = INFINITY;
    for (size_t i = 0; i < c.size(); ++i) {
        OutlinePoint a = c[i], b = c[(i + 1) % c.size()];
        double dx = b.x - a.x, dy = b.y - a.y;
        double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0., 1.);
        best = std::min(best, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
    }
    return best;
}

}  // namespace

TEST(FlattenOutline, ArcsStayWithinTheToleranceOfTheirChords) {
    // What, the arc (on, one or two control points, on), the most chords it may take.
    const std::tuple<const char*, std::vector<FT_Vector>, size_t> cases[] = {
        {"quadratic", {{0, 0}, {500, 1000}, {1000, 0}}, 64},
        {"quadratic doubling back", {{0, 0}, {1000, 3}, {100, 0}}, 64},
        {"quadratic doubling back along its chord", {{0, 0}, {1000, 0}, {100, 0}}, 64},
        {"straight quadratic", {{0, 0}, {450, 0}, {900, 0}}, 1},
        {"cubic", {{0, 0}, {0, 900}, {1000, 900}, {1000, 0}}, 64},
        {"cubic S-bend", {{0, 0}, {300, 600}, {700, -600}, {1000, 0}}, 64},
        {"cubic doubling back along its chord", {{0, 0}, {1000, 0}, {1000, 0}, {100, 0}}, 64},
        {"straight cubic", {{0, 0}, {300, 0}, {600, 0}, {900, 0}}, 1},
        {"cubic, counter-clockwise", {{1000, 0}, {1000, 900}, {0, 900}, {0, 0}}, 64},
    };
    for (const auto& [what, arc, maxChords] : cases) {
        // The arc, then a corner below it; a line closes the contour.
        std::vector<FT_Vector> points = arc;
        points.push_back({500, -1000});
        std::vector<char> tags(points.size(),
                               arc.size() == 3 ? FT_CURVE_TAG_CONIC : FT_CURVE_TAG_CUBIC);
        tags.front() = tags.end()[-2] = tags.back() = FT_CURVE_TAG_ON;
        short last = (short)(points.size() - 1);
        FT_Outline outline{1, (short)points.size(), points.data(), tags.data(), &last, 0};

        std::vector<Contour> flat;
        EXPECT_TRUE(FlattenOutline(&outline, 1.0, &flat) && flat.size() == 1) << what;
        if (flat.size() != 1) continue;
        const Contour& f = flat[0];
        EXPECT_LE(f.size() - 2, maxChords) << what;  // less its start and the corner
        double worst = 0, twiceArea = 0;
        for (int i = 0; i <= 1000; ++i)
            worst = std::max(worst, DistanceToContour(At(arc, i / 1000.0), f));
        EXPECT_LE(worst, 1.0) << what;
        for (size_t i = 0, j = f.size() - 1; i < f.size(); j = i++)
            twiceArea += f[j].x * f[i].y - f[i].x * f[j].y;
        EXPECT_LT(twiceArea, 0) << what;  // clockwise
    }
}
