// wglUseFontOutlinesA on a real Mesa context: what each list draws, where
// the origin ends up, the metrics, the font chosen, and every refusal.
#define GL_GLEXT_PROTOTYPES 1

#include "gl_test_context.h"
#include "test_seam.h"
#include "win32_api.h"

#include "code_page_1252.h"
#include "font_test_support.h"

#include <GL/glext.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using kv17::platform::UnicodeFromCodePage1252;

namespace {

constexpr float kExtrusion = 0.1f;

HFONT CreateFontOf(const char* face, int weight = FW_BOLD) {
    return CreateFontA(-5, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_DONTCARE | DEFAULT_PITCH, face);
}

// The current configuration swapped for one that knows only `files`, and
// the rules in `rules` (a fontconfig XML document) if given.
class ScopedFontconfig {
public:
    explicit ScopedFontconfig(const std::vector<std::string>& files, const char* rules = nullptr) {
        previous_ = FcConfigReference(nullptr);
        FcConfig* config = FcConfigCreate();
        if (rules) FcConfigParseAndLoadFromMemory(config, (const FcChar8*)rules, FcTrue);
        for (const std::string& f : files)
            FcConfigAppFontAddFile(config, (const FcChar8*)f.c_str());
        FcConfigSetCurrent(config);
        FcConfigDestroy(config);  // the current configuration holds it now
    }
    ~ScopedFontconfig() {
        FcConfigSetCurrent(previous_);
        FcConfigDestroy(previous_);
    }

private:
    FcConfig* previous_;
};

// fontconfig's standard rule for synthetic bold (its 90-synthetic.conf):
// bold asked for, a face of medium weight or less found.
constexpr char kSyntheticBoldRule[] = R"(<?xml version="1.0"?>
<fontconfig>
  <match target="font">
    <test name="weight" compare="less_eq"><const>medium</const></test>
    <test target="pattern" name="weight" compare="more_eq"><const>bold</const></test>
    <edit name="embolden" mode="assign"><bool>true</bool></edit>
    <edit name="weight" mode="assign"><const>bold</const></edit>
  </match>
</fontconfig>)";

class FontOutlines : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        font = CreateFontOf("Glass Gauge");
        stockFont = SelectObject(gl.dc, font);
        base = glGenLists(256);
        glViewport(0, 0, 640, 480);
        glClearColor(0, 0, 0, 0);
        glColor3f(1, 1, 1);
    }

    BOOL Extract(DWORD first = 0, DWORD count = 255, float deviation = 0.0f,
                 GLYPHMETRICSFLOAT* out = nullptr) {
        return wglUseFontOutlinesA(gl.dc, first, count, base, deviation, kExtrusion,
                                   WGL_FONT_POLYGONS, out ? out : metrics);
    }

    // The modelview after calling `list` on the identity.
    GlMatrix MatrixAfter(GLuint list) {
        return MatrixMadeBy([list] { glCallList(list); });
    }

    bool MovesOrigin(GLuint list) {
        return !SameBits(MatrixAfter(list), MatrixMadeBy([] {}));
    }

    // `list` drawn white on black, flat, in an orthographic view of the
    // region x -0.5..2.0, y -0.5..1.4 (a glyph's em square and some), after
    // `view` set up the modelview.
    template <typename View>
    std::vector<uint8_t> Render(GLuint list, View view) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-0.5, 2.0, -0.5, 1.4, -3.0, 3.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        view();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glCallList(list);
        glLoadIdentity();
        return ReadFrame();
    }

    GlTestContext gl;
    HFONT font = nullptr;
    HGDIOBJ stockFont = nullptr;  // what a fresh DC holds
    GLuint base = 0;
    GLYPHMETRICSFLOAT metrics[256] = {};
};

void FrontView() {}
void SideView() { glRotatef(90.0f, 0.0f, 1.0f, 0.0f); }  // object z along screen x
void TopView() { glRotatef(90.0f, 1.0f, 0.0f, 0.0f); }   // object z along screen -y

// Six object-space clip planes around a glyph box grown by `grow` on every
// side except `shrunkFace` (0..5: -x, +x, -y, +y, -z, +z), which moves inward
// by `shrink`.
void ClipToBox(const GLYPHMETRICSFLOAT& m, double grow, int shrunkFace = -1, double shrink = 0) {
    double low[3] = {m.gmfptGlyphOrigin.x, m.gmfptGlyphOrigin.y - m.gmfBlackBoxY, -kExtrusion};
    double high[3] = {m.gmfptGlyphOrigin.x + m.gmfBlackBoxX, m.gmfptGlyphOrigin.y, 0.0};
    for (int face = 0; face < 6; ++face) {
        int axis = face / 2;
        bool isHigh = face % 2;
        double limit = isHigh ? high[axis] + grow : low[axis] - grow;
        if (face == shrunkFace) limit = isHigh ? high[axis] - shrink : low[axis] + shrink;
        GLdouble plane[4] = {0, 0, 0, 0};
        plane[axis] = isHigh ? -1.0 : 1.0;
        plane[3] = isHigh ? limit : -limit;
        glClipPlane(GL_CLIP_PLANE0 + face, plane);
        glEnable(GL_CLIP_PLANE0 + face);
    }
}

void Unclip() {
    for (int face = 0; face < 6; ++face) glDisable(GL_CLIP_PLANE0 + face);
}

GLuint PrimitivesDrawnBy(GLuint list) {
    GLuint query = 0, count = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    glCallList(list);
    glEndQuery(GL_PRIMITIVES_GENERATED);
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
    glDeleteQueries(1, &query);
    return count;
}

// Draws `line` from `base`'s lists at the demo's depth, turned by `angle`
// about (x, y, 0), and reads the frame back.
std::vector<uint8_t> DrawTurnedLine(GLuint base, const char* line, float angle, float x, float y) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 640.0 / 480.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -5.0f);
    glRotatef(angle, x, y, 0.0f);
    glTranslatef(-2.5f, -0.35f, 0.05f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glListBase(base);
    glCallLists((GLsizei)strlen(line), GL_UNSIGNED_BYTE, line);
    glListBase(0);
    return ReadFrame();
}

}  // namespace

TEST_F(FontOutlines, GlassGaugeBoldIsServedByTheBestInstalledMatch) {
    std::string file = MatchedFontFile("Glass Gauge:bold");
    EXPECT_EQ(std::filesystem::path(file).filename(), "DejaVuSans-Bold.ttf");
    FreeTypeFace face(file);
    ASSERT_TRUE(face.ok());
    ASSERT_TRUE(Extract());
    // The advances of the whole code page are the face's, so the lists are its glyphs.
    for (int code = 0; code < 255; ++code) {
        double expected =
            face.Advance(UnicodeFromCodePage1252((unsigned char)code)) / face.unitsPerEm();
        EXPECT_EQ(metrics[code].gmfCellIncX, (float)expected) << "code " << code;
    }
}

TEST_F(FontOutlines, MetricsAreTheGlyphBoxesInEmUnits) {
    FreeTypeFace face(MatchedFontFile("Glass Gauge:bold"));
    ASSERT_TRUE(Extract());
    const double em = face.unitsPerEm();
    for (int code : std::initializer_list<int>{'A', 'g', 'V', '@', 0x89, 0xC7}) {
        FT_BBox box = face.Box(UnicodeFromCodePage1252((unsigned char)code));
        const GLYPHMETRICSFLOAT& m = metrics[code];
        EXPECT_EQ(m.gmfBlackBoxX, (float)((box.xMax - box.xMin) / em)) << code;
        EXPECT_EQ(m.gmfBlackBoxY, (float)((box.yMax - box.yMin) / em)) << code;
        EXPECT_EQ(m.gmfptGlyphOrigin.x, (float)(box.xMin / em)) << code;
        EXPECT_EQ(m.gmfptGlyphOrigin.y, (float)(box.yMax / em)) << code;
        EXPECT_EQ(m.gmfCellIncY, 0.0f);
    }
    // A capital is 0.73 em high in this face.
    EXPECT_NEAR(metrics['A'].gmfBlackBoxY, 0.73, 0.005);
    // A blank glyph gets the smallest box there is: one design unit.
    EXPECT_EQ(metrics[' '].gmfBlackBoxX, (float)(1 / em));
    EXPECT_EQ(metrics[' '].gmfBlackBoxY, (float)(1 / em));
}

TEST_F(FontOutlines, EachListEndsByMovingTheOriginByItsAdvance) {
    FreeTypeFace face(MatchedFontFile("Glass Gauge:bold"));
    ASSERT_TRUE(Extract());
    for (int code : std::initializer_list<int>{'A', ' ', 'W', 0x01, 0x89}) {
        float advance =
            (float)(face.Advance(UnicodeFromCodePage1252((unsigned char)code)) / face.unitsPerEm());
        GlMatrix expected = MatrixMadeBy([advance] { glTranslatef(advance, 0.0f, 0.0f); });
        EXPECT_TRUE(SameBits(MatrixAfter(base + code), expected)) << "code " << code;
    }
    // Consecutive lists lay out a line: the origin moves by the sum.
    GlMatrix afterTwo = MatrixMadeBy([this] {
        glCallList(base + 'A');
        glCallList(base + 'V');
    });
    GlMatrix expected = MatrixMadeBy([this] {
        glTranslatef(metrics['A'].gmfCellIncX, 0.0f, 0.0f);
        glTranslatef(metrics['V'].gmfCellIncX, 0.0f, 0.0f);
    });
    EXPECT_TRUE(SameBits(afterTwo, expected));
}

TEST_F(FontOutlines, CodesTheFontLacksDrawItsMissingGlyph) {
    FreeTypeFace face(MatchedFontFile("Glass Gauge:bold"));
    ASSERT_TRUE(Extract());
    auto missingGlyph = Render(base + 0, FrontView);
    EXPECT_GT(LitPixels(missingGlyph, 0, 0, 640, 480), 1000);  // DejaVu's is a hollow box
    EXPECT_NEAR(metrics[0].gmfCellIncX, 0.6, 0.001);
    int missing = 0;
    for (int code = 0; code < 255; ++code) {
        if (face.HasGlyph(UnicodeFromCodePage1252((unsigned char)code))) continue;
        ++missing;
        EXPECT_EQ(Render(base + code, FrontView), missingGlyph) << "code " << code;
        EXPECT_EQ(metrics[code].gmfCellIncX, metrics[0].gmfCellIncX);
    }
    EXPECT_EQ(missing, 38);  // 0-31, 127 and the five undefined bytes
    // A code page sign the face has is drawn as itself.
    EXPECT_NE(Render(base + 0x80, FrontView), missingGlyph);
}

TEST_F(FontOutlines, EveryVertexLiesWithinTheGlyphBoxAndTheExtrusion) {
    ASSERT_TRUE(Extract());
    const double slack = 1e-5;  // float rounding of the em-scaled coordinates
    for (int code = 0; code < 255; ++code) {
        for (auto view : {FrontView, SideView, TopView}) {
            auto whole = Render(base + code, view);
            glLoadIdentity();
            view();
            ClipToBox(metrics[code], slack);
            auto clipped = Render(base + code, view);
            Unclip();
            ASSERT_EQ(clipped, whole) << "code " << code;
        }
    }
}

TEST_F(FontOutlines, GeometryReachesEveryFaceOfTheBox) {
    ASSERT_TRUE(Extract());
    const double shrink = 0.02;  // five pixels of this view
    for (int code : std::initializer_list<int>{'A', 'g', '@', 0x89}) {
        for (int face = 0; face < 6; ++face) {
            // Faces across the screen show in the front view, z faces from the side.
            auto view = face < 4 ? FrontView : SideView;
            auto whole = Render(base + code, view);
            glLoadIdentity();
            view();
            ClipToBox(metrics[code], 1e-5, face, shrink);
            auto trimmed = Render(base + code, view);
            Unclip();
            EXPECT_NE(trimmed, whole) << "code " << code << ", face " << face;
        }
    }
}

TEST_F(FontOutlines, EveryFaceIsWoundCounterClockwiseFromOutside) {
    ASSERT_TRUE(Extract());
    const char* lines[] = {"Valkrune@", "\x89\xC7gQ#%&", "\x01\x80"};
    struct Turn {
        float angle, x, y;
    } turns[] = {{50, 0, 1}, {-50, 0, 1}, {180, 0, 1}, {60, 1, 0}, {-70, 1, 0}, {0, 0, 1}};
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    for (const char* line : lines) {
        for (const Turn& turn : turns) {
            std::vector<uint8_t> frames[2];
            for (int culled = 0; culled < 2; ++culled) {
                if (culled) glEnable(GL_CULL_FACE);
                frames[culled] = DrawTurnedLine(base, line, turn.angle, turn.x, turn.y);
                glDisable(GL_CULL_FACE);
            }
            EXPECT_GT(LitPixels(frames[0], 0, 0, 640, 480), 2000);
            EXPECT_EQ(frames[1], frames[0]) << line << " turned " << turn.angle;
        }
    }
    glDisable(GL_DEPTH_TEST);
}

TEST_F(FontOutlines, NormalsPointOutOfTheSolid) {
    ASSERT_TRUE(Extract());
    const char* line = "Valkrune\x89@";
    struct Turn {
        float angle, x, y;
    } turns[] = {{50, 0, 1}, {-50, 0, 1}, {180, 0, 1}, {60, 1, 0}, {-70, 1, 0}};
    // A light at the eye: a face seen from outside is lit unless its normal
    // points inward. Flat shading gives each face its own normal; culling
    // (the faces are wound outward, see above) keeps walls seen from inside
    // from winning depth ties along the edges they share with visible faces.
    const GLfloat headlight[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1}, none[4] = {0, 0, 0, 1};
    glShadeModel(GL_FLAT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    for (const Turn& turn : turns) {
        std::vector<uint8_t> frames[2];
        for (int lit = 0; lit < 2; ++lit) {
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glLightfv(GL_LIGHT0, GL_POSITION, headlight);  // in eye space
            if (lit) glEnable(GL_LIGHTING), glEnable(GL_LIGHT0);
            frames[lit] = DrawTurnedLine(base, line, turn.angle, turn.x, turn.y);
            glDisable(GL_LIGHTING);
        }
        int covered = 0, dark = 0;
        for (size_t i = 0; i < frames[0].size(); i += 3) {
            if (frames[0][i] < 128) continue;
            ++covered;
            dark += frames[1][i] < 2 && frames[1][i + 1] < 2 && frames[1][i + 2] < 2;
        }
        EXPECT_GT(covered, 2000);
        // Faces seen edge-on may round to black; a reversed normal makes a
        // whole face black.
        EXPECT_LT(dark, covered / 200) << "turned " << turn.angle;
    }
    glShadeModel(GL_SMOOTH);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
}

TEST_F(FontOutlines, DeviationZeroMeansOneDesignUnit) {
    FreeTypeFace face(MatchedFontFile("Glass Gauge:bold"));
    ASSERT_EQ(face.unitsPerEm(), 2048);
    ASSERT_TRUE(Extract('O', 1, 0.0f));
    GLuint atZero = PrimitivesDrawnBy(base);
    ASSERT_TRUE(Extract('O', 1, 1.0f / 2048));
    GLuint atOneUnit = PrimitivesDrawnBy(base);
    ASSERT_TRUE(Extract('O', 1, 16.0f / 2048));
    GLuint atSixteenUnits = PrimitivesDrawnBy(base);
    EXPECT_EQ(atZero, atOneUnit);
    EXPECT_LT(atSixteenUnits, atZero / 2);
    EXPECT_GT(atSixteenUnits, 0u);
}

TEST_F(FontOutlines, FirstAndCountPickTheCodes) {
    ASSERT_TRUE(Extract('A', 2));
    GLYPHMETRICSFLOAT all[256];
    GLuint other = glGenLists(256);
    ASSERT_TRUE(
        wglUseFontOutlinesA(gl.dc, 0, 255, other, 0.0f, kExtrusion, WGL_FONT_POLYGONS, all));
    EXPECT_EQ(metrics[0].gmfCellIncX, all['A'].gmfCellIncX);
    EXPECT_EQ(metrics[1].gmfCellIncX, all['B'].gmfCellIncX);
    EXPECT_EQ(Render(base + 0, FrontView), Render(other + 'A', FrontView));
    EXPECT_EQ(Render(base + 1, FrontView), Render(other + 'B', FrontView));
    EXPECT_FALSE(MovesOrigin(base + 2));  // not extracted

    EXPECT_TRUE(Extract(0, 0));  // nothing to do
    EXPECT_TRUE(wglUseFontOutlinesA(gl.dc, 'C', 1, base, 0.0f, kExtrusion, WGL_FONT_POLYGONS,
                                    nullptr));  // metrics are optional
    EXPECT_EQ(Render(base, FrontView), Render(other + 'C', FrontView));
}

TEST_F(FontOutlines, BoldIsSynthesizedWhenOnlyARegularFaceIsInstalled) {
    const std::string regularFile = MatchedFontFile("DejaVu Sans:weight=regular");
    FreeTypeFace face(regularFile);
    ASSERT_TRUE(face.ok());
    ASSERT_STRNE(face.styleName(), "Bold");
    const double em = face.unitsPerEm();
    const double strength = std::floor(em / 24) / em;  // FreeType's synthetic-bold strength

    GLYPHMETRICSFLOAT regular[256], bold[256];
    {
        ScopedFontconfig only({regularFile}, kSyntheticBoldRule);
        SelectObject(gl.dc, CreateFontOf("DejaVu Sans", 400));
        ASSERT_TRUE(Extract(0, 255, 0.0f, regular));
        SelectObject(gl.dc, CreateFontOf("DejaVu Sans", FW_BOLD));
        ASSERT_TRUE(Extract(0, 255, 0.0f, bold));
    }
    for (int code : std::initializer_list<int>{'A', 'l', 'o'}) {
        EXPECT_EQ(regular[code].gmfCellIncX, (float)(face.Advance(code) / em));
        EXPECT_NEAR(bold[code].gmfCellIncX - regular[code].gmfCellIncX, strength, 1e-6);
        // Strokes thicken by the strength; sharp corners (A's feet) reach further.
        for (double growth : {bold[code].gmfBlackBoxX - regular[code].gmfBlackBoxX,
                              bold[code].gmfBlackBoxY - regular[code].gmfBlackBoxY}) {
            EXPECT_GE(growth, strength - 2 / em) << (char)code;
            EXPECT_LE(growth, 2 * strength) << (char)code;
        }
    }
    EXPECT_NEAR(bold['l'].gmfBlackBoxX - regular['l'].gmfBlackBoxX, strength, 2 / em);
}

TEST_F(FontOutlines, RefusedCallsLeaveTheListsAlone) {
    auto untouched = [this] {
        for (int code : std::initializer_list<int>{0, 'A', 254})
            if (MovesOrigin(base + code)) return false;
        return true;
    };
    auto call = [this](HDC dc, DWORD first, DWORD count, DWORD listBase, float deviation,
                       int format) {
        return wglUseFontOutlinesA(dc, first, count, listBase, deviation, kExtrusion, format,
                                   metrics);
    };
    int notADc = 0;
    EXPECT_FALSE(call(nullptr, 0, 255, base, 0.0f, WGL_FONT_POLYGONS));
    EXPECT_FALSE(call((HDC)&notADc, 0, 255, base, 0.0f, WGL_FONT_POLYGONS));
    EXPECT_FALSE(call(gl.dc, 0, 255, base, 0.0f, 0));  // WGL_FONT_LINES is not offered
    EXPECT_FALSE(call(gl.dc, 0, 255, base, -0.5f, WGL_FONT_POLYGONS));
    EXPECT_FALSE(call(gl.dc, 0, 255, base, NAN, WGL_FONT_POLYGONS));
    EXPECT_FALSE(call(gl.dc, 200, 57, base, 0.0f, WGL_FONT_POLYGONS));  // past code 255
    EXPECT_FALSE(call(gl.dc, 0xFFFFFFFF, 2, base, 0.0f, WGL_FONT_POLYGONS));
    EXPECT_TRUE(untouched());

    // Without a list to compile into, GL would draw the glyphs instead.
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_FALSE(call(gl.dc, 0, 255, 0, 0.0f, WGL_FONT_POLYGONS));
    EXPECT_TRUE(SameBits(CurrentModelview(), MatrixMadeBy([] {})));
    EXPECT_EQ(LitPixels(ReadFrame(), 0, 0, 640, 480), 0);

    kv17::seam::FailCall("wglUseFontOutlinesA");
    EXPECT_FALSE(Extract());
    EXPECT_TRUE(untouched());
}

TEST_F(FontOutlines, NothingIsExtractedWithoutACurrentContext) {
    ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_FALSE(Extract());
    ASSERT_TRUE(wglMakeCurrent(gl.dc, gl.context));
    EXPECT_FALSE(MovesOrigin(base + 'A'));
}

TEST_F(FontOutlines, ADcWithoutAnOutlineFontGivesNothing) {
    // The stock system font is a raster font.
    SelectObject(gl.dc, stockFont);
    EXPECT_FALSE(Extract());
    EXPECT_FALSE(MovesOrigin(base + 'A'));
}

TEST_F(FontOutlines, AFontFileThatCannotBeReadGivesNothing) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("kv17-font-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::path vanishing = dir / "vanishing.ttf", garbled = dir / "garbled.ttf";
    std::string source = MatchedFontFile("Glass Gauge:bold");
    fs::copy_file(source, vanishing, fs::copy_options::overwrite_existing);
    {
        ScopedFontconfig only({vanishing.string()});
        SelectObject(gl.dc, CreateFontOf("Glass Gauge"));
    }
    fs::remove(vanishing);
    EXPECT_FALSE(Extract());

    fs::copy_file(source, garbled, fs::copy_options::overwrite_existing);
    {
        ScopedFontconfig only({garbled.string()});
        SelectObject(gl.dc, CreateFontOf("Glass Gauge"));
    }
    std::ofstream(garbled, std::ios::trunc) << "not a font";
    EXPECT_FALSE(Extract());
    EXPECT_FALSE(MovesOrigin(base + 'A'));
    fs::remove_all(dir);
}
