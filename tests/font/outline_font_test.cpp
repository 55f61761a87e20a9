// The outline font on a real context: faces, codes, advances, lists' lifetime, scroller, culling.
#include "demo_state.h"
#include "font_match.h"
#include "gl_test_context.h"
#include "glyph_list.h"
#include "greeting_text.h"
#include "outline_font.h"
#include "scene_state.h"
#include "test_seam.h"

#include <GL/glu.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

namespace {

using GlMatrix = std::vector<GLfloat>;

GlMatrix Modelview() { return GetFloats(GL_MODELVIEW_MATRIX, 16); }

// How far list `list` moves the pen along x.
float AdvanceOf(GLuint list) {
    glLoadIdentity();
    glCallList(list);
    return Modelview()[12];
}

// The advance of `unicode` in em as FreeType reads `file`, synthetic bold (1/24 em) included.
double FaceAdvance(const kv17::platform::FontFile& file, char32_t unicode) {
    FT_Library library;
    FT_Face face;
    FT_Init_FreeType(&library);
    FT_New_Face(library, file.path.c_str(), file.index, &face);
    FT_Load_Char(face, unicode, FT_LOAD_NO_SCALE);
    double advance = (double)face->glyph->metrics.horiAdvance / face->units_per_EM;
    FT_Done_FreeType(library);
    return advance + (file.embolden ? 1.0 / 24 : 0.0);
}

// `draw` in an orthographic view 4 by 3 em (160 pixels per em, depth 0.5 - z / 4) turned `yaw`
// about y, then `pitch` about x, in white or with `state` on (lit: by light 0 along -z).
std::vector<uint8_t> Shoot(const std::function<void()>& draw, GLenum state = 0, float yaw = 0,
                           float pitch = 0) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -1.5, 1.5, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(pitch, 1, 0, 0);
    glRotatef(yaw, 0, 1, 0);
    glEnable(GL_LIGHT0);
    if (state) glEnable(state);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw();
    if (state) glDisable(state);
    return ReadFrame();
}

// A frame: the modelview `place` sets (by default the camera at the start depth), then `print`
// with the scroll at `offset`. The pixels and the final modelview.
std::pair<std::vector<uint8_t>, GlMatrix> Draw(float offset, const std::function<void()>& print,
                                               const std::function<void()>& place = nullptr) {
    glLoadIdentity();
    place ? place() : glTranslatef(0.0f, 0.0f, -5.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scrollOffset = offset;
    print();
    return {ReadFrame(), Modelview()};
}

// A fresh context with the demo's projection and lists built as the demo builds them.
struct OutlineFont : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        glMatrixMode(GL_PROJECTION);
        gluPerspective(45.0, 640.0 / 480.0, 0.1, 100.0);
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_DEPTH_TEST);
        windowDC = gl.dc;
        cullHiddenGlyphs = true;
        BuildOutlineFont();
    }

    GlTestContext gl;
};

// Curves, holes, crossings and a descender, centred.
void DrawGlyphs() {
    glTranslatef(-1.3f, -0.3f, 0.0f);
    glListBase(fontBase);
    glCallLists(3, GL_UNSIGNED_BYTE, "@g&");
}

}  // namespace

TEST_F(OutlineFont, FacesLieAtTheirDepthsTurnOutwardAreLitFromOutsideAndFillOverlapsOnce) {
    // Yaw, pitch, eye z of the nearest face if flat, least mean light: lit straight on, a face
    // whose normal points out shows 0.84 of white (214, less the 16-bit visual's 3/32: 190).
    const std::array<float, 4> views[] = {
        {0, 0, 0.0f, 190},    // the front face at z = 0, normal (0, 0, 1)
        {180, 0, 0.1f, 190},  // the back face at z = -0.1, normal (0, 0, -1)
        {90, 0, NAN, 128},    // the sides facing -x: on average over half lit
        {-30, 60, NAN, 0},
    };
    for (const auto [yaw, pitch, eyeZ, minLight] : views) {
        SCOPED_TRACE(yaw);
        const auto lit = Shoot(DrawGlyphs, GL_LIGHTING, yaw, pitch);
        std::vector<float> depth(640 * 480);
        glReadPixels(0, 0, 640, 480, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        const auto plain = Shoot(DrawGlyphs, 0, yaw, pitch);
        // Faces run counter-clockwise seen from outside: culling hides nothing.
        EXPECT_EQ(Shoot(DrawGlyphs, GL_CULL_FACE, yaw, pitch), plain);
        double covered = 0, light = 0, depthError = 0;
        for (size_t i = 0; i < depth.size(); ++i) {
            if (plain[3 * i] < 128) continue;
            ++covered;
            light += lit[3 * i];
            if (!std::isnan(eyeZ))
                depthError = std::max(depthError, std::abs(depth[i] - 0.5 + eyeZ / 4));
        }
        EXPECT_GT(covered, 1000);
        EXPECT_LT(depthError, 1e-3);
        EXPECT_GE(light / covered, minLight);
    }
    // Two clockwise squares that overlap, as a cedilla may overlap its C.
    const std::vector<kv17::platform::Contour> squares = {{{0, 0}, {0, 2}, {2, 2}, {2, 0}},
                                                          {{1, 1}, {1, 3}, {3, 3}, {3, 1}}};
    kv17::platform::GlyphFill fill;
    ASSERT_TRUE(kv17::platform::FillContours(squares, &fill));
    const GLuint list = glGenLists(1);
    kv17::platform::CompileGlyphList(list, squares, fill, 4.0, 0.1f, 0.0f);  // 2 units = 0.5 em
    const auto frame = Shoot([list] { glCallList(list); });
    EXPECT_GT(PixelAt(frame, 380, 300).r, 128);  // (0.375, 0.375) em: in both
    EXPECT_LT(PixelAt(frame, 420, 260).r, 128);  // (0.625, 0.125) em: in neither
}

TEST_F(OutlineFont, EachCodeDrawsItsCodePage1252CharacterAndMovesOnByItsAdvance) {
    const auto face = kv17::platform::MatchFont("Glass Gauge", FW_BOLD, false);
    const std::pair<unsigned char, char32_t> codes[] = {
        {'A', U'A'}, {0x80, U'\u20AC'}, {0x81, U'\u0081'}, {0x9F, U'\u0178'}, {0xC7, U'\u00C7'}};
    for (auto [code, unicode] : codes)
        EXPECT_NEAR(AdvanceOf(fontBase + code), FaceAdvance(face, unicode), 1e-3) << +code;
    // Whatever a list draws, it leaves the front face's normal current.
    for (GLuint code = 0; code < 255; ++code) {
        glNormal3f(1, 0, 0);
        glCallList(fontBase + code);
        EXPECT_EQ(GetFloats(GL_CURRENT_NORMAL, 3), (std::vector<GLfloat>{0, 0, 1})) << code;
    }
    // Bold is synthesized, a 24th of an em wider, when only a regular face matches.
    auto regular = kv17::platform::MatchFont("Glass Gauge", 400, false);
    FcConfig* previous = FcConfigReference(nullptr);
    FcConfig* only = FcConfigCreate();  // that face alone, every match emboldened
    const char* rule =
        "<fontconfig><match target='font'><edit name='embolden'><bool>true"
        "</bool></edit></match></fontconfig>";
    FcConfigParseAndLoadFromMemory(only, (const FcChar8*)rule, FcTrue);
    FcConfigAppFontAddFile(only, (const FcChar8*)regular.path.c_str());
    FcConfigSetCurrent(only);
    FcConfigDestroy(only);
    BuildOutlineFont();
    FcConfigSetCurrent(previous);
    FcConfigDestroy(previous);
    regular.embolden = true;
    for (char c : {'A', 'l', 'o'})
        EXPECT_NEAR(AdvanceOf(fontBase + c), FaceAdvance(regular, c), 1e-3) << c;
}

TEST_F(OutlineFont, ListsLiveFromBuildToDeleteAndNeedANameAndAContext) {
    EXPECT_EQ(kv17::seam::LiveFonts(), 0);
    const GLuint base = fontBase;
    for (GLuint code : {0u, 65u, 254u, 255u}) EXPECT_TRUE(glIsList(base + code)) << code;
    DeleteOutlineFont();
    for (GLuint code : {0u, 65u, 254u, 255u}) EXPECT_FALSE(glIsList(base + code)) << code;
    // There is no list 0 to compile into: GL would draw the glyphs at once.
    SelectObject(gl.dc, CreateFontA(0, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Glass Gauge"));
    glLoadIdentity();
    EXPECT_FALSE(wglUseFontOutlinesA(gl.dc, 0, 255, 0, 0.0f, 0.1f, WGL_FONT_POLYGONS, nullptr));
    EXPECT_EQ(Modelview()[12], 0.0f);
    // Without a context glGenLists gives 0: then nothing is extracted.
    wglMakeCurrent(nullptr, nullptr);
    kv17::seam::RecordCalls();
    BuildOutlineFont();
    EXPECT_EQ(fontBase, 0u);
    EXPECT_TRUE(kv17::seam::RecordedCalls().empty());
}

TEST_F(OutlineFont, TheNthLineStartsAt5LessNStepsOf0_05And2DownAsWrittenLeavingTheListBase) {
    for (float offset = 0.05f; offset < 10; offset += 0.05f) {  // summed as the scroller sums
        glLoadIdentity();
        PrintScroller("");
        EXPECT_EQ(Modelview(), (GlMatrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5 - offset, -2, 0, 1}))
            << offset;
    }
    for (bool cull : {true, false}) {
        cullHiddenGlyphs = cull;
        glListBase(1234);
        // List 255 is empty: byte 255 draws nothing and does not move on.
        EXPECT_TRUE(Draw(4, [] { PrintScroller("Va\377lk"); }) ==
                    Draw(4, [] { PrintScroller("Valk"); }));
        EXPECT_TRUE(Draw(4, [] { PrintScroller("%s%d%%", "Va", 4); }) ==
                    Draw(4, [] { PrintScroller("Va4%%"); }));
        EXPECT_EQ(GetFloats(GL_LIST_BASE)[0], 1234) << cull;
    }
}

// Culling changes no pixel and not the final matrix: far down the greeting, yawed and tilted; and
// with each side of each glyph's box 1/32 em (10 pixels) inside a face of a box-shaped view.
TEST_F(OutlineFont, CullingChangesNeitherPixelsNorTheFinalMatrix) {
    const auto CullingChanges = [](float offset, const char* text, std::function<void()> place) {
        const auto frame = [&](bool cull) {
            cullHiddenGlyphs = cull;
            return Draw(
                offset, [text] { PrintScroller("%s", text); }, place);
        };
        return frame(true) != frame(false);
    };
    for (const auto [offset, angle, tilt] : {std::array{55.0f, 91.0f, 0.0f}, {85.0f, 64.0f, 1.0f}})
        EXPECT_FALSE(CullingChanges(offset, greetingText, [=] {
            glTranslatef(1.5f, 1.0f, -12.0f);
            glRotatef(angle, 0, 1, tilt);
        })) << offset;
    const double face[3] = {1.0, 0.75, 2.0};  // the view reaches from -face to face
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-face[0], face[0], -face[1], face[1], -face[2], face[2]);
    glMatrixMode(GL_MODELVIEW);
    const char text[] = "Valkrune greets";
    std::string changed;  // each glyph and side where culling changes the frame
    double pen = 0;
    for (const unsigned char c : std::string(text)) {
        const GLYPHMETRICSFLOAT& g = glyphMetrics[c];
        const double left = pen + g.gmfptGlyphOrigin.x, top = g.gmfptGlyphOrigin.y;
        const double low[3] = {left, top - g.gmfBlackBoxY, -0.1};
        const double high[3] = {left + g.gmfBlackBoxX, top, 0.0};
        pen += g.gmfCellIncX;
        for (int side = 0; side < 6; ++side) {  // left, right, foot, head, back, front
            double at[3];  // where the glyph goes: in the middle, but for that side's axis
            for (int axis = 0; axis < 3; ++axis) at[axis] = -(low[axis] + high[axis]) / 2;
            const int axis = side / 2;
            at[axis] =
                side % 2 ? 1.0 / 32 - face[axis] - high[axis] : face[axis] - 1.0 / 32 - low[axis];
            if (CullingChanges(0, text, [at] { glTranslatef(at[0] - 4.95f, at[1] + 2, at[2]); }))
                changed += char(c) + std::to_string(side) + " ";
        }
    }
    EXPECT_EQ(changed, "");
}
