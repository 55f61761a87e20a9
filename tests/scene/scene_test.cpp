// The scene on a real Mesa context: InitScene's state and textures, and
// RenderFrame called directly through the timeline, probed by pixels.
#include "demo_fixture.h"
#include "gl_test_context.h"
#include "gl_window.h"
#include "greeting_text.h"
#include "outline_font.h"
#include "render_state.h"
#include "scene_state.h"

#include <GL/gl.h>

#include <climits>
#include <cmath>
#include <numbers>

namespace {

// 15x16 texels telling where they lie: linearly filtered, red and green are 256 s and 256 t, a
// texel or more in from the edges; white corners, so the pyramids drawn at the cube's last
// coordinate (0, 1) show their colours; rows of 45 bytes, intact only uploaded unpadded.
void WritePositionBitmap(const std::filesystem::path& path) {
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 15 * 16; ++i) {
        const int s = i % 15, t = i / 15;
        const bool corner = s % 14 == 0 && t % 15 == 0;
        rgb.insert(rgb.end(), {uint8_t(corner ? 255 : (2 * s + 1) * 128 / 15),
                               uint8_t(corner ? 255 : 8 + 16 * t), uint8_t(corner ? 255 : 0)});
    }
    WriteBitmap(path, 15, 16, rgb);
}

// Window position of an eye-space point under the demo's projection.
std::pair<int, int> Project(double x, double y, double z) {
    const double f = 1.0 / std::tan(22.5 * std::numbers::pi / 180.0);
    return {(int)(320.0 + 320.0 * (f * 0.75) * x / -z), (int)(240.0 + 240.0 * f * y / -z)};
}

// How many quarter turns the picture on the cube face square-on to the eye is turned by; -1
// where it is not the whole picture, as a mirrored picture or a wrong corner or coordinate shows.
int QuarterTurns(const std::vector<uint8_t>& frame) {
    for (int turns = 0; turns < 4; ++turns) {
        bool matches = true;
        for (int i = 0; i < 16; ++i) {  // points a quarter and three quarters in
            const double x = i % 4 * 0.5 - 0.75, y = i / 4 * 0.5 - 0.75;
            double s = (x + 1) / 2, t = (y + 1) / 2;
            for (int turn = 0; turn < turns; ++turn) std::tie(s, t) = std::pair(1 - t, s);
            const auto [px, py] = Project(x, y, -4);
            const Rgb p = PixelAt(frame, px, py);
            matches &= std::abs(p.r / 256.0 - s) < 0.06 && std::abs(p.g / 256.0 - t) < 0.06;
        }
        if (matches) return turns;
    }
    return -1;
}

// The colour at a point by name: "R", "G", "B", white "W", black "K", else "?".
std::string ColourAt(const std::vector<uint8_t>& frame, std::pair<int, int> at) {
    const Rgb p = PixelAt(frame, at.first, at.second);
    std::string lit;
    for (auto [value, name] : {std::pair(p.r, 'R'), {p.g, 'G'}, {p.b, 'B'}}) {
        if (value > 96 && value < 160) return "?";
        if (value >= 160) lit += name;
    }
    return lit.empty() ? "K" : lit == "RGB" ? "W" : lit;
}

class SceneTest : public DemoTest {
protected:
    void SetUp() override {
        DemoTest::SetUp();
        WritePositionBitmap(directory_ / "Data" / "texture.bmp");
        ASSERT_TRUE(context_.ok());
        windowDC = context_.dc;
        ResizeScene(640, 480);
    }
    GlTestContext context_;
};

TEST_F(SceneTest, InitSceneSetsTheStateLightOneTheFontAndThreeTextures) {
    ASSERT_TRUE(InitScene());
    std::vector<GLfloat> state = GetFloats(GL_COLOR_CLEAR_VALUE, 4);
    for (GLenum name : {GL_TEXTURE_2D, GL_DEPTH_TEST, GL_LIGHT1, GL_LIGHTING, GL_BLEND,
                        GL_DEPTH_FUNC, GL_SHADE_MODEL, GL_PERSPECTIVE_CORRECTION_HINT,
                        GL_DEPTH_CLEAR_VALUE, GL_UNPACK_ALIGNMENT})
        state.push_back(GetFloats(name)[0]);
    for (GLenum name : {GL_AMBIENT, GL_DIFFUSE, GL_POSITION}) {
        GLfloat light[4];
        glGetLightfv(GL_LIGHT1, name, light);
        state.insert(state.end(), light, light + 4);
    }
    // The unpack alignment as it found it; light 1 two units behind the eye.
    EXPECT_EQ(state, (std::vector<GLfloat>{
                         0, 0,    0,    0.5f, 1, 1, 1, 0, 0, GL_LEQUAL, GL_SMOOTH, GL_NICEST, 1,
                         4, 0.5f, 0.5f, 0.5f, 1, 1, 1, 1, 1, 0,         0,         2,         1}));
    EXPECT_TRUE(glIsList(fontBase + 'V'));
    // Nearest, linear and mipmapped (16-8-4-2-1) copies, the last one bound.
    EXPECT_EQ((GLuint)GetFloats(GL_TEXTURE_BINDING_2D)[0], textures[2]);
    const std::vector<GLint> filtersAndWidths[] = {
        {GL_NEAREST, GL_NEAREST, 15, 0, 0, 0, 0},
        {GL_LINEAR, GL_LINEAR, 15, 0, 0, 0, 0},
        {GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, 16, 8, 4, 2, 1}};
    for (int i = 0; i < 3; ++i) {
        std::vector<GLint> got(7);
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &got[0]);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &got[1]);
        for (int level = 0; level < 5; ++level)
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &got[2 + level]);
        EXPECT_EQ(got, filtersAndWidths[i]) << i;
    }
}

TEST_F(SceneTest, WithoutTheBitmapNothingIsDone) {
    RemoveBitmap();
    EXPECT_FALSE(InitScene());
    EXPECT_EQ(textures[0] | textures[1] | textures[2] | fontBase, 0u);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_LIGHT1));
    EXPECT_TRUE(kv17::seam::MessageBoxesShown().empty());  // a missing file is no loader error
}

// Turned square-on to the eye, each face shows the whole picture, never mirrored. The linear copy
// is bound; the cube's last texture coordinate stays current.
TEST_F(SceneTest, EachCubeFaceShowsTheWholePictureTurnedAsItsCoordinatesPutIt) {
    ASSERT_TRUE(InitScene());
    // The face, the angles that turn it to the eye (about x after y), its picture's quarter turns.
    const std::tuple<const char*, float, float, int> views[] = {
        {"front", 0, 0, 0}, {"back", 0, 180, 0},   {"left", 0, 90, 0},        {"right", 0, 270, 0},
        {"top", 90, 0, 0},  {"bottom", 270, 0, 2}, {"top, turned", 90, 90, 3}};
    for (const auto& [face, angleX, angleY, quarterTurns] : views) {
        cubeAngleX = angleX, cubeAngleY = angleY;
        RenderFrame();
        EXPECT_EQ(QuarterTurns(ReadFrame()), quarterTurns) << face;
    }
    EXPECT_EQ(std::pair((GLuint)GetFloats(GL_TEXTURE_BINDING_2D)[0],
                        GetFloats(GL_CURRENT_TEXTURE_COORDS, 4)),
              std::pair(textures[1], std::vector<GLfloat>{0, 1, 0, 1}));
}

TEST_F(SceneTest, AFlashIsAnOpaqueWhiteSquareDrawnOnceInTheCubePhaseOnly) {
    ASSERT_TRUE(InitScene());
    spinStepX = 30.0f, spinStepY = 20.0f;
    RenderFrame();
    flashPending = true;
    RenderFrame();
    const std::vector<uint8_t> flash = ReadFrame();
    EXPECT_EQ(ColourAt(flash, {320, 240}) + ColourAt(flash, {5, 5}) + ColourAt(flash, {634, 474}),
              "WWW");
    // Served, untextured, unblended whatever its blend function; the angles
    // advance by the steps after every frame, a flash frame too.
    EXPECT_EQ(
        std::tuple(flashPending, glIsEnabled(GL_TEXTURE_2D), glIsEnabled(GL_BLEND),
                   GetFloats(GL_BLEND_SRC)[0], GetFloats(GL_BLEND_DST)[0], cubeAngleX, cubeAngleY),
        std::tuple(false, GL_FALSE, GL_FALSE, GL_SRC_ALPHA, GL_ONE, 60.0f, 40.0f));
    RenderFrame();
    EXPECT_EQ(ColourAt(ReadFrame(), {5, 5}), "K");
    frameCount = 1200;
    flashPending = true;
    RenderFrame();
    EXPECT_TRUE(flashPending);  // never served among the pyramids
}

// Frame 1000 is still a cube frame; every later one draws three pyramids: the first where the
// last frame left it, the other two at (-1.5, -1, -12) and (1.5, 1, -12), turned by the yaw ramp.
// Each side turned to the eye shows a red apex, one green and one blue base corner: alternating
// around the base, a quarter turn on the right corner is the last side's left.
TEST_F(SceneTest, FramesAfter1000DrawTheTurningPyramids) {
    ASSERT_TRUE(InitScene());
    frameCount = 999;
    RenderFrame();
    EXPECT_EQ(QuarterTurns(ReadFrame()), 0);
    EXPECT_EQ(yawRamp, 1.0f);
    std::string sides[2];  // of each pyramid: apex, left and right corner per quarter turn
    for (float yaw : {0.0f, 90.0f, 180.0f, 270.0f}) {
        yawRamp = yaw - 1.5f;
        viewDepth = -30.0f;
        pyramidPosX = pyramidPosY = 0.0f;
        RenderFrame();
        EXPECT_EQ(std::tuple(viewDepth, pyramidAngle, pyramidAxisY), std::tuple(-12.0f, yaw, 1.0f));
        const std::vector<uint8_t> frame = ReadFrame();
        for (int i = 0; i < 2; ++i) {
            const double x = i ? 1.5 : -1.5, y = i ? 1.0 : -1.0;
            sides[i] += ColourAt(frame, Project(x, y + 0.8, -11.9)) +
                        ColourAt(frame, Project(x - 0.8, y - 0.9, -11.05)) +
                        ColourAt(frame, Project(x + 0.8, y - 0.9, -11.05)) + " ";
        }
    }
    for (const std::string& pyramid : sides) EXPECT_EQ(pyramid, "RGB RBG RGB RBG ");
    // The line ends where the third pyramid carries it: its transform, then
    // 5 - offset along x and -2 along y, then the glyphs' advances.
    double advance = 5.0 - scrollOffset;
    for (const char* c = greetingText; *c; ++c)
        advance += glyphMetrics[(unsigned char)*c].gmfCellIncX;
    const double a = pyramidAngle * std::numbers::pi / 180.0;
    const std::vector<GLfloat> modelview = GetFloats(GL_MODELVIEW_MATRIX, 16);
    EXPECT_NEAR(modelview[12], 1.5 + std::cos(a) * advance, 0.05);
    EXPECT_NEAR(modelview[13], 1.0 - 2.0, 0.05);
    EXPECT_NEAR(modelview[14], -12.0 - std::sin(a) * advance, 0.05);
}

TEST_F(SceneTest, TheYawRampThenTheTiltRampThenStillness) {
    ASSERT_TRUE(InitScene());
    frameCount = 1000;
    while (frameCount < 1000 + 479) RenderFrame();
    EXPECT_EQ(std::pair(yawRamp, tiltRamp), std::pair(719.5f, 1.0f));
    RenderFrame();  // pyramid frame 480: the tilt overwrites the yaw
    EXPECT_EQ(std::tuple(yawRamp, pyramidAngle, pyramidAxisX, pyramidAxisZ),
              std::tuple(721.0f, 1.01f, 0.0f, 1.0f));
    int tiltSteps = 1;
    for (float previous = tiltRamp; frameCount < 2100; previous = tiltRamp) {
        RenderFrame();
        tiltSteps += tiltRamp != previous;
    }
    // About 180.2009: each product rounded from double; a float factor
    // would end at 180.2001.
    EXPECT_EQ(std::tuple(tiltSteps, tiltRamp, pyramidAngle),
              std::tuple(522, 0x1.6866dap+7f, 0x1.6866dap+7f));
    // The count stops at INT_MAX: both frames are pyramid frames, which
    // leave the cube unturned.
    frameCount = INT_MAX - 1;
    RenderFrame();
    RenderFrame();
    EXPECT_EQ(std::pair(frameCount, cubeAngleX), std::pair(INT_MAX, 0.0f));
}

}  // namespace
