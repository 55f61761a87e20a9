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

#include <array>
#include <climits>
#include <cmath>
#include <numbers>
#include <numeric>

namespace {

// 8x8: bottom left red, bottom right green, top left blue, top right yellow,
// the four corner texels white (so a texture coordinate of (0, 1) or (0, 0)
// samples white).
constexpr Rgb kRed = {255, 0, 0}, kGreen = {0, 255, 0}, kBlue = {0, 0, 255};
constexpr Rgb kYellow = {255, 255, 0}, kWhite = {255, 255, 255}, kBlack = {0, 0, 0};

void WriteQuadrantBitmap(const std::filesystem::path& path) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            Rgb c = y < 4 ? (x < 4 ? kRed : kGreen) : (x < 4 ? kBlue : kYellow);
            if ((x == 0 || x == 7) && (y == 0 || y == 7)) c = kWhite;
            rgb.insert(rgb.end(), {(uint8_t)c.r, (uint8_t)c.g, (uint8_t)c.b});
        }
    }
    WriteBitmap(path, 8, 8, rgb);
}

// Window position of an eye-space point under the demo's projection.
std::pair<int, int> Project(double x, double y, double z) {
    const double f = 1.0 / std::tan(22.5 * std::numbers::pi / 180.0);
    return {(int)(320.0 + 320.0 * (f * 0.75) * x / -z), (int)(240.0 + 240.0 * f * y / -z)};
}

// The pixel at a point, within three steps of the coarsest channel of a
// 5-6-5 visual (plus `slack` where the colour changes across the pixel).
::testing::AssertionResult Shows(const std::vector<uint8_t>& frame, std::pair<int, int> at,
                                 Rgb expected, int slack = 0) {
    const Rgb p = PixelAt(frame, at.first, at.second);
    if (std::max({std::abs(p.r - expected.r), std::abs(p.g - expected.g),
                  std::abs(p.b - expected.b)}) <= 24 + slack)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << p.r << ", " << p.g << ", " << p.b << ") at ("
                                         << at.first << ", " << at.second << ")";
}

class SceneTest : public DemoTest {
protected:
    void SetUp() override {
        DemoTest::SetUp();
        WriteQuadrantBitmap(directory_ / "Data" / "texture.bmp");
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
    // Nearest, linear and mipmapped (8-4-2-1) copies, the last one bound.
    EXPECT_EQ((GLuint)GetFloats(GL_TEXTURE_BINDING_2D)[0], textures[2]);
    const std::vector<GLint> filtersAndWidths[] = {
        {GL_NEAREST, GL_NEAREST, 8, 0, 0, 0, 0},
        {GL_LINEAR, GL_LINEAR, 8, 0, 0, 0, 0},
        {GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, 8, 4, 2, 1, 0}};
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

TEST_F(SceneTest, RowsOfOddWidthUploadIntact) {
    std::vector<uint8_t> rgb(18);
    std::iota(rgb.begin(), rgb.end(), 1);
    WriteBitmap(directory_ / "Data" / "texture.bmp", 3, 2, rgb);
    ASSERT_TRUE(InitScene());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (GLuint texture : {textures[0], textures[1]}) {  // the mipmaps are scaled
        std::vector<uint8_t> texels(18);
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        EXPECT_EQ(texels, rgb) << texture;
    }
}

TEST_F(SceneTest, WithoutTheBitmapNothingIsDone) {
    RemoveBitmap();
    EXPECT_FALSE(InitScene());
    EXPECT_EQ(textures[0] | textures[1] | textures[2] | fontBase, 0u);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_LIGHT1));
    EXPECT_TRUE(kv17::seam::MessageBoxesShown().empty());  // a missing file is no loader error
}

// The face square-on to the eye shows the texture's quadrants where its
// texture coordinates put them: the front face unturned; turned 90 degrees
// about x after y, the top face.
TEST_F(SceneTest, TheCubeShowsItsTexturedFaceAndTurnsByTheSteps) {
    ASSERT_TRUE(InitScene());
    spinStepX = 30.0f, spinStepY = 20.0f;
    // Both angles, then the face's bottom left, bottom right, top left, top right.
    const std::pair<float, std::array<Rgb, 4>> views[] = {{0, {kRed, kGreen, kBlue, kYellow}},
                                                          {90, {kBlue, kRed, kYellow, kGreen}}};
    for (const auto& [angle, corners] : views) {
        cubeAngleX = cubeAngleY = angle;
        RenderFrame();
        const std::vector<uint8_t> frame = ReadFrame();
        for (int c = 0; c < 4; ++c)
            EXPECT_TRUE(Shows(frame, Project(c % 2 - 0.5, c / 2 - 0.5, -4), corners[c])) << c;
        EXPECT_TRUE(Shows(frame, Project(-1.3, 0, -4), kBlack));  // beside the face
        EXPECT_EQ(std::pair(cubeAngleX, cubeAngleY), std::pair(angle + 30.0f, angle + 20.0f));
    }
    // The linear copy is bound, and the cube's last texture coordinate stays.
    EXPECT_EQ((GLuint)GetFloats(GL_TEXTURE_BINDING_2D)[0], textures[1]);
    EXPECT_EQ(GetFloats(GL_CURRENT_TEXTURE_COORDS, 4), (std::vector<GLfloat>{0, 1, 0, 1}));
}

TEST_F(SceneTest, AFlashIsAnOpaqueWhiteSquareDrawnOnceInTheCubePhaseOnly) {
    ASSERT_TRUE(InitScene());
    RenderFrame();
    flashPending = true;
    RenderFrame();
    const std::vector<uint8_t> flash = ReadFrame();
    for (auto at : {std::pair{320, 240}, {5, 5}, {634, 474}}) EXPECT_TRUE(Shows(flash, at, kWhite));
    // Served, untextured, unblended whatever its blend function; the angles
    // advance on a flash frame too.
    EXPECT_EQ(std::tuple(flashPending, glIsEnabled(GL_TEXTURE_2D), glIsEnabled(GL_BLEND),
                         GetFloats(GL_BLEND_SRC)[0], GetFloats(GL_BLEND_DST)[0], cubeAngleX),
              std::tuple(false, GL_FALSE, GL_FALSE, GL_SRC_ALPHA, GL_ONE, 0.1f + 0.1f));
    RenderFrame();
    EXPECT_TRUE(Shows(ReadFrame(), {5, 5}, kBlack));
    frameCount = 1200;
    flashPending = true;
    RenderFrame();
    EXPECT_TRUE(flashPending);  // never served among the pyramids
}

// Frame 1000 is still a cube frame; every later one draws three pyramids:
// the first where the last frame left it, the other two at (-1.5, -1, -12)
// and (1.5, 1, -12), turned by the yaw ramp. Red apex, base corners green
// and blue: the front face square-on at 0 degrees, the right face at 270.
TEST_F(SceneTest, FramesAfter1000DrawTheTurningPyramids) {
    ASSERT_TRUE(InitScene());
    frameCount = 999;
    RenderFrame();
    EXPECT_TRUE(Shows(ReadFrame(), Project(-0.5, -0.5, -4), kRed));
    EXPECT_EQ(yawRamp, 1.0f);
    // The ramp before the frame, then the base corners of the face turned to the eye.
    for (const auto& [yawBefore, left, right] :
         {std::tuple(-1.5f, kGreen, kBlue), std::tuple(268.5f, kBlue, kGreen)}) {
        yawRamp = yawBefore;
        viewDepth = -30.0f;
        pyramidPosX = pyramidPosY = 0.0f;
        RenderFrame();
        EXPECT_EQ(std::tuple(viewDepth, pyramidAngle, pyramidAxisY),
                  std::tuple(-12.0f, yawBefore + 1.5f, 1.0f));
        const std::vector<uint8_t> frame = ReadFrame();
        for (double x : {-1.5, 1.5}) {
            const double y = x < 0 ? -1.0 : 1.0;
            EXPECT_TRUE(Shows(frame, Project(x, y + 0.8, -11.9), kRed, 16)) << x;
            EXPECT_TRUE(Shows(frame, Project(x - 0.8, y - 0.9, -11.05), left, 16)) << x;
            EXPECT_TRUE(Shows(frame, Project(x + 0.8, y - 0.9, -11.05), right, 16)) << x;
        }
    }
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
