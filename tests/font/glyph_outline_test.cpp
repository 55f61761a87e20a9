// Flattening FreeType outlines: chords within the tolerance, closed
// polygons, one orientation.
#include "glyph_outline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using kv17::platform::Contour;
using kv17::platform::FlattenOutline;
using kv17::platform::OutlinePoint;

namespace {

// A hand-built FreeType outline: points with on-curve / conic / cubic tags.
struct TestOutline {
    std::vector<FT_Vector> points;
    std::vector<char> tags;
    std::vector<short> ends;
    FT_Outline outline{};

    void Add(FT_Pos x, FT_Pos y, char tag = FT_CURVE_TAG_ON) {
        points.push_back({x, y});
        tags.push_back(tag);
    }
    void EndContour() { ends.push_back((short)(points.size() - 1)); }
    FT_Outline* Get() {
        outline.n_points = (short)points.size();
        outline.n_contours = (short)ends.size();
        outline.points = points.data();
        outline.tags = tags.data();
        outline.contours = ends.data();
        outline.flags = FT_OUTLINE_NONE;
        return &outline;
    }
};

std::vector<Contour> Flatten(TestOutline& o, double tolerance) {
    std::vector<Contour> contours;
    EXPECT_TRUE(FlattenOutline(o.Get(), tolerance, &contours));
    return contours;
}

double SignedArea(const Contour& c) {
    double twice = 0;
    for (size_t i = 0; i < c.size(); ++i) {
        const OutlinePoint &a = c[i], &b = c[(i + 1) % c.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

double DistanceToSegment(OutlinePoint p, OutlinePoint a, OutlinePoint b) {
    double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
    double t =
        length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

double DistanceToPolygon(OutlinePoint p, const Contour& c) {
    double best = INFINITY;
    for (size_t i = 0; i < c.size(); ++i)
        best = std::min(best, DistanceToSegment(p, c[i], c[(i + 1) % c.size()]));
    return best;
}

// A closed shape: a straight base from (0,0) to (1000,0), a quadratic arc
// back over (500,1000), clockwise.
TestOutline ConicDome() {
    TestOutline o;
    o.Add(0, 0);
    o.Add(500, 1000, FT_CURVE_TAG_CONIC);
    o.Add(1000, 0);
    o.EndContour();
    return o;
}

OutlinePoint OnConic(double t) {
    double u = 1 - t;
    return {u * u * 0 + 2 * u * t * 500 + t * t * 1000, 2 * u * t * 1000};
}

// Cubic from (0,0) over (0,900), (1000,900) to (1000,0), then the base back.
TestOutline CubicArch() {
    TestOutline o;
    o.Add(0, 0);
    o.Add(0, 900, FT_CURVE_TAG_CUBIC);
    o.Add(1000, 900, FT_CURVE_TAG_CUBIC);
    o.Add(1000, 0);
    o.EndContour();
    return o;
}

OutlinePoint OnCubic(double t) {
    double u = 1 - t;
    return {3 * u * t * t * 1000 + t * t * t * 1000, 3 * u * u * t * 900 + 3 * u * t * t * 900};
}

}  // namespace

TEST(FlattenOutline, StraightContoursKeepTheirCornersOnly) {
    TestOutline o;
    o.Add(0, 0);
    o.Add(0, 100);
    o.Add(100, 100);
    o.Add(100, 0);
    o.EndContour();
    auto contours = Flatten(o, 1.0);
    ASSERT_EQ(contours.size(), 1u);
    EXPECT_EQ(contours[0].size(), 4u);  // the closing point is implied, not repeated
    EXPECT_LT(SignedArea(contours[0]), 0);
}

TEST(FlattenOutline, CounterClockwiseFontsAreTurnedToTrueTypeOrientation) {
    TestOutline o;  // a PostScript-style outer contour: counter-clockwise
    o.Add(0, 0);
    o.Add(100, 0);
    o.Add(100, 100);
    o.Add(0, 100);
    o.EndContour();
    auto contours = Flatten(o, 1.0);
    ASSERT_EQ(contours.size(), 1u);
    EXPECT_DOUBLE_EQ(SignedArea(contours[0]), -10000.0);
}

TEST(FlattenOutline, QuadraticArcsStayWithinTheTolerance) {
    for (double tolerance : {1.0, 4.0, 25.0}) {
        TestOutline o = ConicDome();
        auto contours = Flatten(o, tolerance);
        ASSERT_EQ(contours.size(), 1u);
        for (int i = 0; i <= 1000; ++i)
            EXPECT_LE(DistanceToPolygon(OnConic(i / 1000.0), contours[0]), tolerance + 1e-9)
                << "t = " << i / 1000.0 << ", tolerance " << tolerance;
    }
}

TEST(FlattenOutline, CubicArcsStayWithinTheTolerance) {
    for (double tolerance : {1.0, 10.0}) {
        TestOutline o = CubicArch();
        auto contours = Flatten(o, tolerance);
        ASSERT_EQ(contours.size(), 1u);
        for (int i = 0; i <= 1000; ++i)
            EXPECT_LE(DistanceToPolygon(OnCubic(i / 1000.0), contours[0]), tolerance + 1e-9);
    }
}

TEST(FlattenOutline, CoarserTolerancesGiveFewerChords) {
    TestOutline fine = ConicDome(), coarse = ConicDome(), loose = ConicDome();
    size_t fineCount = Flatten(fine, 1.0)[0].size();
    size_t coarseCount = Flatten(coarse, 16.0)[0].size();
    EXPECT_GT(fineCount, coarseCount);
    EXPECT_GE(coarseCount, 4u);
    // An arc whose midpoint is within reach of its chord is the chord alone:
    // what remains is the base and nothing else, so the contour vanishes.
    EXPECT_TRUE(Flatten(loose, 600.0).empty());
}

TEST(FlattenOutline, ArcPointsLieOnTheCurve) {
    TestOutline o = ConicDome();
    auto contours = Flatten(o, 1.0);
    ASSERT_EQ(contours.size(), 1u);
    for (const OutlinePoint& p : contours[0]) {
        // Solve x for t (x = 1000 t on this arc), then compare y.
        double t = p.x / 1000.0;
        EXPECT_NEAR(p.y, OnConic(t).y, 1e-9);
    }
}

TEST(FlattenOutline, ContoursThatEncloseNothingAreDropped) {
    TestOutline o;
    o.Add(0, 0);
    o.Add(50, 50);
    o.EndContour();  // two points
    o.Add(0, 0);
    o.Add(0, 100);
    o.Add(100, 0);
    o.EndContour();
    auto contours = Flatten(o, 1.0);
    ASSERT_EQ(contours.size(), 1u);
    EXPECT_EQ(contours[0].size(), 3u);
}

TEST(FlattenOutline, EmptyOutlinesGiveNoContours) {
    TestOutline o;
    EXPECT_TRUE(Flatten(o, 1.0).empty());
}

TEST(FlattenOutline, MalformedOutlinesAreRefused) {
    TestOutline o;  // a contour may not start with a cubic control point
    o.Add(0, 0, FT_CURVE_TAG_CUBIC);
    o.Add(0, 100);
    o.Add(100, 0);
    o.EndContour();
    std::vector<Contour> contours;
    EXPECT_FALSE(FlattenOutline(o.Get(), 1.0, &contours));
}
