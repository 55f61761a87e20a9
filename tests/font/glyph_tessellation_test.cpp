// Filling contours through GLU: the non-zero rule, counter-clockwise
// triangles, and the real font's filled areas.
#include "glyph_outline.h"
#include "glyph_tessellation.h"

#include "code_page_1252.h"
#include "font_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using kv17::platform::Contour;
using kv17::platform::FillContours;
using kv17::platform::GlyphFill;
using kv17::platform::OutlinePoint;

namespace {

double SignedArea(OutlinePoint a, OutlinePoint b, OutlinePoint c) {
    return ((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y)) / 2;
}

double ContourArea(const Contour& c) {
    double twice = 0;
    for (size_t i = 0; i < c.size(); ++i) {
        const OutlinePoint &a = c[i], &b = c[(i + 1) % c.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

// The fill as independent triangles, each in the order GL draws it.
std::vector<std::array<OutlinePoint, 3>> Triangles(const GlyphFill& fill) {
    std::vector<std::array<OutlinePoint, 3>> out;
    for (const auto& p : fill.primitives) {
        const OutlinePoint* v = &fill.points[p.first];
        if (p.mode == GL_TRIANGLES) {
            for (size_t i = 0; i + 2 < p.count; i += 3) out.push_back({v[i], v[i + 1], v[i + 2]});
        } else if (p.mode == GL_TRIANGLE_FAN) {
            for (size_t i = 1; i + 1 < p.count; ++i) out.push_back({v[0], v[i], v[i + 1]});
        } else {
            // Every second triangle of a strip is drawn with its first two swapped.
            for (size_t i = 0; i + 2 < p.count; ++i)
                out.push_back(i % 2 == 0 ? std::array{v[i], v[i + 1], v[i + 2]}
                                         : std::array{v[i + 1], v[i], v[i + 2]});
        }
    }
    return out;
}

GlyphFill Fill(const std::vector<Contour>& contours) {
    GlyphFill fill;
    EXPECT_TRUE(FillContours(contours, &fill));
    return fill;
}

double FilledArea(const GlyphFill& fill) {
    double area = 0;
    for (auto& t : Triangles(fill)) area += SignedArea(t[0], t[1], t[2]);
    return area;
}

int WronglyWound(const GlyphFill& fill) {
    int wrong = 0;
    for (auto& t : Triangles(fill)) wrong += SignedArea(t[0], t[1], t[2]) < 0;
    return wrong;
}

// Clockwise squares (TrueType's outer orientation) and a counter-clockwise
// one (a hole).
Contour ClockwiseSquare(double x, double y, double size) {
    return {{x, y}, {x, y + size}, {x + size, y + size}, {x + size, y}};
}
Contour CounterClockwiseSquare(double x, double y, double size) {
    return {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}};
}

}  // namespace

TEST(FillContours, ASquareBecomesCounterClockwiseTriangles) {
    GlyphFill fill = Fill({ClockwiseSquare(0, 0, 100)});
    EXPECT_DOUBLE_EQ(FilledArea(fill), 10000.0);
    EXPECT_EQ(WronglyWound(fill), 0);
}

TEST(FillContours, AnOppositelyWoundInnerContourIsAHole) {
    GlyphFill fill = Fill({ClockwiseSquare(0, 0, 100), CounterClockwiseSquare(25, 25, 50)});
    EXPECT_DOUBLE_EQ(FilledArea(fill), 10000.0 - 2500.0);
    EXPECT_EQ(WronglyWound(fill), 0);
}

TEST(FillContours, OverlapsOfLikeWoundContoursAreFilledOnce) {
    // Under the odd-even rule the overlap would be a hole (Ç's cedilla).
    GlyphFill fill = Fill({ClockwiseSquare(0, 0, 100), ClockwiseSquare(50, 50, 100)});
    EXPECT_DOUBLE_EQ(FilledArea(fill), 2 * 10000.0 - 2500.0);
    EXPECT_EQ(WronglyWound(fill), 0);
}

TEST(FillContours, NothingToFillGivesNoPrimitives) {
    GlyphFill fill = Fill({});
    EXPECT_TRUE(fill.primitives.empty());
    EXPECT_TRUE(fill.points.empty());
}

TEST(FillContours, EveryGlyphOfTheFontIsFilledExactly) {
    FreeTypeFace face(MatchedFontFile("Glass Gauge:bold"));
    ASSERT_TRUE(face.ok());
    int checked = 0;
    for (int code = 0; code < 255; ++code) {
        std::vector<Contour> contours =
            face.Flattened(kv17::platform::UnicodeFromCodePage1252((unsigned char)code), 1.0);
        GlyphFill fill = Fill(contours);
        EXPECT_EQ(WronglyWound(fill), 0) << "code " << code;
        // Without overlapping contours the filled area is the contours'
        // (clockwise outer, so negative) signed area; Ç and ç overlap.
        if (code == 0xC7 || code == 0xE7) continue;
        double expected = 0;
        for (const Contour& c : contours) expected -= ContourArea(c);
        EXPECT_NEAR(FilledArea(fill), expected, 1e-6 * std::max(1.0, expected)) << "code " << code;
        ++checked;
    }
    EXPECT_EQ(checked, 253);
}
