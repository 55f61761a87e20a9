// The scene's scroller on a real context: the lists it builds, what each
// call moves and draws, and culling that changes neither image nor matrix.
#define GL_GLEXT_PROTOTYPES 1

#include "demo_state.h"
#include "gl_test_context.h"
#include "greeting_text.h"
#include "outline_font.h"
#include "test_seam.h"

#include "font_test_support.h"

#include <GL/glext.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// scrollOffset after n calls: n steps of 0.05 summed in single precision.
float OffsetAfter(int calls) {
    float offset = 0.0f;
    for (int i = 0; i < calls; ++i) offset += 0.05f;
    return offset;
}

void ResizeLikeTheDemo() {
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 640.0 / 480.0, (double)0.1f, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void ResetScroller() {
    scrollOffset = 0.0f;
    cullHiddenGlyphs = true;
    windowDC = nullptr;
}

bool MovesOrigin(GLuint list) {
    return !SameBits(MatrixMadeBy([list] { glCallList(list); }), MatrixMadeBy([] {}));
}

class OutlineScroller : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        ResetScroller();
        windowDC = gl.dc;
        ResizeLikeTheDemo();
        glClearColor(0, 0, 0, 0);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glColor3f(1, 1, 1);
        BuildOutlineFont();
    }
    void TearDown() override { ResetScroller(); }

    struct Frame {
        std::vector<uint8_t> pixels;
        GlMatrix modelview;
    };

    // One scroller frame: the n-th call, on the modelview `place` sets up.
    template <typename Place>
    Frame Draw(int n, Place place, const char* text) {
        scrollOffset = OffsetAfter(n - 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        place();
        PrintScroller("%s", text);
        return {ReadFrame(), CurrentModelview()};
    }

    GlTestContext gl;
};

void CubePhase() { glTranslatef(0.0f, 0.0f, -5.0f); }

}  // namespace

TEST_F(OutlineScroller, BuildReserves256ConsecutiveListsAndFillsAllButTheLast) {
    ASSERT_NE(fontBase, 0u);
    for (GLuint code = 0; code < 255; ++code) EXPECT_TRUE(MovesOrigin(fontBase + code)) << code;
    EXPECT_FALSE(MovesOrigin(fontBase + 255));
    GLuint next = glGenLists(1);
    EXPECT_TRUE(next < fontBase || next >= fontBase + 256);
    EXPECT_GT(glyphMetrics['A'].gmfCellIncX, 0.0f);
    EXPECT_EQ(glyphMetrics[255].gmfCellIncX, 0.0f);
}

TEST_F(OutlineScroller, BuildDeletesItsFontAndGivesTheDcItsOwnBack) {
    HFONT own = CreateFontA(-5, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                            CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_DONTCARE | DEFAULT_PITCH,
                            "Glass Gauge");
    HGDIOBJ stock = SelectObject(gl.dc, own);
    const int fonts = kv17::seam::LiveFonts();
    kv17::seam::RecordCalls();
    BuildOutlineFont();
    EXPECT_EQ(kv17::seam::LiveFonts(), fonts);
    const std::vector<std::string> expected = {"CreateFontA", "SelectObject", "wglUseFontOutlinesA",
                                               "SelectObject", "DeleteObject"};
    EXPECT_EQ(kv17::seam::RecordedCalls(), expected);
    EXPECT_EQ(SelectObject(gl.dc, stock), (HGDIOBJ)own);
    EXPECT_TRUE(MovesOrigin(fontBase + 'V'));
}

TEST_F(OutlineScroller, DeleteReleasesTheListsOfTheCurrentContextOnly) {
    GLuint glyphs = fontBase, twins = advanceListBase;
    ASSERT_NE(twins, 0u);
    ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
    DeleteOutlineFont();  // no context: nothing to delete
    ASSERT_TRUE(wglMakeCurrent(gl.dc, gl.context));
    EXPECT_TRUE(glIsList(glyphs + 'A'));
    EXPECT_TRUE(glIsList(twins + 'A'));

    BuildOutlineFont();
    DeleteOutlineFont();
    EXPECT_FALSE(glIsList(fontBase + 'A'));
    EXPECT_FALSE(glIsList(fontBase + 254));
    EXPECT_EQ(advanceListBase, 0u);
}

TEST(OutlineScrollerRebuild, ANewContextGetsNewListsAndTheScrollCarriesOn) {
    ResetScroller();
    {
        GlTestContext first;
        ASSERT_TRUE(first.ok());
        windowDC = first.dc;
        BuildOutlineFont();
        for (int i = 0; i < 3; ++i) PrintScroller("Valkrune");
    }
    GlTestContext second;
    ASSERT_TRUE(second.ok());
    windowDC = second.dc;
    GLuint taken = glGenLists(7);  // the new context's names start elsewhere
    BuildOutlineFont();
    EXPECT_EQ(fontBase, taken + 7);
    EXPECT_TRUE(MovesOrigin(fontBase + 'V'));
    EXPECT_EQ(scrollOffset, OffsetAfter(3));
    glLoadIdentity();
    PrintScroller("");
    EXPECT_EQ(scrollOffset, OffsetAfter(4));
    EXPECT_TRUE(SameBits(CurrentModelview(),
                         MatrixMadeBy([] { glTranslatef(5.0f - OffsetAfter(4), -2.0f, 0.0f); })));
    ResetScroller();
}

TEST_F(OutlineScroller, TheNthCallTranslatesByFiveLessNSteps) {
    for (int n = 1; n <= 300; ++n) {
        glLoadIdentity();
        PrintScroller("");
        float offset = OffsetAfter(n);
        ASSERT_EQ(scrollOffset, offset) << n;
        ASSERT_TRUE(SameBits(CurrentModelview(),
                             MatrixMadeBy([offset] { glTranslatef(5.0f - offset, -2.0f, 0.0f); })))
            << n;
    }
    EXPECT_EQ(OffsetAfter(1), 0.05f);
    EXPECT_NE(OffsetAfter(100), 5.0f);  // single-precision steps do not sum exactly
}

TEST_F(OutlineScroller, TheTranslationIsAppliedToWhateverMatrixIsCurrent) {
    glLoadIdentity();
    glRotatef(30.0f, 0.0f, 1.0f, 1.0f);
    PrintScroller("");
    EXPECT_TRUE(SameBits(CurrentModelview(), MatrixMadeBy([] {
                             glRotatef(30.0f, 0.0f, 1.0f, 1.0f);
                             glTranslatef(5.0f - 0.05f, -2.0f, 0.0f);
                         })));
}

TEST_F(OutlineScroller, AnEmptyTextDrawsNothingButStillMoves) {
    for (bool cull : {true, false}) {
        cullHiddenGlyphs = cull;
        Frame frame = Draw(100, CubePhase, "");
        EXPECT_EQ(LitPixels(frame.pixels, 0, 0, 640, 480), 0);
        EXPECT_TRUE(SameBits(frame.modelview, MatrixMadeBy([] {
                                 CubePhase();
                                 glTranslatef(5.0f - OffsetAfter(100), -2.0f, 0.0f);
                             })));
    }
}

TEST_F(OutlineScroller, TheLineEndsWhereItsAdvancesSumUp) {
    Frame frame = Draw(
        1, [] {}, "AV");
    EXPECT_TRUE(SameBits(frame.modelview, MatrixMadeBy([] {
                             glTranslatef(5.0f - 0.05f, -2.0f, 0.0f);
                             glTranslatef(glyphMetrics['A'].gmfCellIncX, 0.0f, 0.0f);
                             glTranslatef(glyphMetrics['V'].gmfCellIncX, 0.0f, 0.0f);
                         })));
}

TEST_F(OutlineScroller, TheListBaseInForceBeforeIsRestored) {
    for (bool cull : {true, false}) {
        cullHiddenGlyphs = cull;
        glListBase(1234);
        Draw(100, CubePhase, "Valkrune");
        GLint listBase = 0;
        glGetIntegerv(GL_LIST_BASE, &listBase);
        EXPECT_EQ(listBase, 1234);
        glListBase(0);
    }
}

TEST_F(OutlineScroller, Byte255DrawsNothingAndLeavesTheOriginAlone) {
    for (bool cull : {true, false}) {
        cullHiddenGlyphs = cull;
        Frame only255 = Draw(100, CubePhase, "\xFF");
        EXPECT_EQ(LitPixels(only255.pixels, 0, 0, 640, 480), 0);
        EXPECT_TRUE(SameBits(only255.modelview, Draw(100, CubePhase, "").modelview));
        Frame with255 = Draw(100, CubePhase, "Va\xFF\xFFlk");
        Frame without = Draw(100, CubePhase, "Valk");
        EXPECT_EQ(with255.pixels, without.pixels);
        EXPECT_TRUE(SameBits(with255.modelview, without.modelview));
    }
}

TEST_F(OutlineScroller, TheFormatIsFilledInLikePrintf) {
    glLoadIdentity();
    PrintScroller("%s %d%%", "Valk", 42);
    GlMatrix formatted = CurrentModelview();
    scrollOffset = 0.0f;
    glLoadIdentity();
    PrintScroller("Valk 42%%");
    EXPECT_TRUE(SameBits(CurrentModelview(), formatted));
}

TEST_F(OutlineScroller, TextBeyondTheBufferIsCutAt1023Bytes) {
    const std::string longLine(3000, 'v');
    for (bool cull : {true, false}) {
        cullHiddenGlyphs = cull;
        Frame cut = Draw(100, CubePhase, longLine.c_str());
        Frame fits = Draw(100, CubePhase, longLine.substr(0, 1023).c_str());
        Frame oneLess = Draw(100, CubePhase, longLine.substr(0, 1022).c_str());
        EXPECT_TRUE(SameBits(cut.modelview, fits.modelview));
        EXPECT_FALSE(SameBits(cut.modelview, oneLess.modelview));
    }
}

TEST_F(OutlineScroller, CullingKeepsImageAndMatrixBitForBit) {
    ASSERT_EQ(strlen(greetingText), 982u);
    struct Case {
        const char* what;
        int n;
        float depth, angle, axisY, axisZ;
    } cases[] = {
        // The cube phase: the line enters from the right and leaves at the left.
        {"cube", 1, -5, 0, 0, 0},
        {"cube", 60, -5, 0, 0, 0},
        {"cube", 100, -5, 0, 0, 0},
        {"cube", 101, -5, 0, 0, 0},
        {"cube", 333, -5, 0, 0, 0},
        {"cube", 999, -5, 0, 0, 0},
        {"cube", 250, -1.5f, 0, 0, 0},
        {"cube", 250, -40, 0, 0, 0},
        {"cube", 12000, -5, 0, 0, 0},  // the whole line gone past the left edge
        // The pyramid phase: the third pyramid's transform carries the line
        // round; at 270 degrees it runs through the eye, glyphs behind it.
        {"yaw", 1001, -12, 2.5f, 1, 0},
        {"yaw", 1100, -12, 91, 1, 0},
        {"yaw", 1200, -12, 180.5f, 1, 0},
        {"yaw", 1300, -12, 270, 1, 0},
        {"yaw", 1400, -12, 300, 1, 0},
        {"yaw", 1480, -12, 719.5f, 1, 0},
        {"tilt", 1500, -12, 1.01f, 1, 1},
        {"tilt", 1700, -12, 64, 1, 1},
        {"tilt", 1900, -12, 150, 1, 1},
        {"tilt", 2100, -12, 180.2009f, 1, 1},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    // A glyph crosses the left edge of the view every few frames.
    for (int n = 150; n < 175; ++n) all.push_back({"cube", n, -5, 0, 0, 0});
    for (const Case& c : all) {
        auto place = [&c] {
            if (c.angle == 0) {
                glTranslatef(0.0f, 0.0f, c.depth);
            } else {
                glTranslatef(1.5f, 1.0f, c.depth);
                glRotatef(c.angle, 0.0f, c.axisY, c.axisZ);
            }
        };
        cullHiddenGlyphs = true;
        Frame culled = Draw(c.n, place, greetingText);
        cullHiddenGlyphs = false;
        Frame plain = Draw(c.n, place, greetingText);
        EXPECT_TRUE(culled.pixels == plain.pixels) << c.what << " frame " << c.n;
        EXPECT_TRUE(SameBits(culled.modelview, plain.modelview)) << c.what << " frame " << c.n;
    }
}

TEST_F(OutlineScroller, CullingLeavesOutTheGlyphsThatCannotShow) {
    auto primitivesOf = [&](bool cull) {
        cullHiddenGlyphs = cull;
        GLuint query = 0, count = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        Draw(100, CubePhase, greetingText);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        glDeleteQueries(1, &query);
        return count;
    };
    GLuint plain = primitivesOf(false), culled = primitivesOf(true);
    EXPECT_GT(culled, 0u);
    EXPECT_LT(culled, plain / 20);  // nine or so of 982 glyphs are in view
}

TEST_F(OutlineScroller, TheLineShowsBelowAndRightOfTheViewAxisAndNowhereElse) {
    // Frame 100 of the cube phase: the line starts on the view axis (x = 0),
    // its baseline 2 units below it, at the camera depth of -5.
    Frame frame = Draw(100, CubePhase, greetingText);
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glLoadIdentity();
    CubePhase();
    glTranslatef(5.0f - OffsetAfter(100), -2.0f, 0.0f);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    auto toWindow = [&](double x, double y, int* px, int* py) {
        GLdouble wx, wy, wz;
        gluProject(x, y, 0.0, modelview, projection, viewport, &wx, &wy, &wz);
        *px = (int)wx;
        *py = (int)wy;
    };

    // The stem of the "l" in "Valkrune" is solid glyph.
    double left = glyphMetrics['V'].gmfCellIncX + glyphMetrics['a'].gmfCellIncX +
                  glyphMetrics['l'].gmfptGlyphOrigin.x;
    int x, y;
    toWindow(left + glyphMetrics['l'].gmfBlackBoxX / 2, glyphMetrics['l'].gmfBlackBoxY / 2, &x, &y);
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            Rgb p = PixelAt(frame.pixels, x + dx, y + dy);
            EXPECT_GE(std::min({p.r, p.g, p.b}), 240) << x + dx << "," << y + dy;
        }

    // Nothing left of the line's start or above its tallest glyph; plenty in
    // between.
    int startX, topY, bottomY;
    toWindow(-0.02, 1.0, &startX, &topY);
    toWindow(0.0, -0.25, &startX, &bottomY);
    EXPECT_EQ(LitPixels(frame.pixels, 0, 0, startX, 480), 0);
    EXPECT_EQ(LitPixels(frame.pixels, 0, topY, 640, 480), 0);
    EXPECT_EQ(LitPixels(frame.pixels, 0, 0, 640, std::max(bottomY, 0)), 0);
    EXPECT_GT(LitPixels(frame.pixels, startX, 0, 640, topY), 640 * 20);

    // At the first frame the line still lies wholly right of the view.
    EXPECT_EQ(LitPixels(Draw(1, CubePhase, greetingText).pixels, 0, 0, 640, 480), 0);
}

TEST_F(OutlineScroller, AFailedExtractionLeavesAnEmptyLineThatStillMoves) {
    DeleteOutlineFont();
    kv17::seam::FailCall("wglUseFontOutlinesA");
    BuildOutlineFont();
    EXPECT_EQ(advanceListBase, 0u);
    Frame frame = Draw(100, CubePhase, greetingText);
    EXPECT_EQ(LitPixels(frame.pixels, 0, 0, 640, 480), 0);
    EXPECT_TRUE(SameBits(frame.modelview, Draw(100, CubePhase, "").modelview));

    // A font that could not be created leaves the DC's own font selected,
    // which has no outlines.
    kv17::seam::Reset();
    GlTestContext fresh;
    ASSERT_TRUE(fresh.ok());
    windowDC = fresh.dc;
    ResizeLikeTheDemo();
    kv17::seam::FailCall("CreateFontA");
    BuildOutlineFont();
    EXPECT_EQ(advanceListBase, 0u);
    EXPECT_FALSE(MovesOrigin(fontBase + 'V'));
}
