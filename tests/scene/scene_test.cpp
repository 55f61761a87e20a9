// The scene on a real Mesa context: InitScene's state and textures, and
// RenderFrame called directly through the timeline, probed by pixels.
#include "demo_fixture.h"
#include "gl_test_context.h"
#include "gl_window.h"
#include "greeting_text.h"
#include "outline_font.h"
#include "render_state.h"

#include <GL/gl.h>

#include <array>
#include <climits>
#include <cmath>
#include <numbers>
#include <optional>

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
        context_.emplace();
        ASSERT_TRUE(context_->ok());
        windowDC = context_->dc;
        ResizeScene(640, 480);
    }
    void TearDown() override {
        context_.reset();
        DemoTest::TearDown();
    }
    void RenderUntil(int frame) {
        while (frameCount < frame) RenderFrame();
    }
    std::optional<GlTestContext> context_;
};

template <typename T, int N = 4>
std::array<T, N> Get(GLenum name) {
    std::array<T, N> values{};
    if constexpr (std::is_same_v<T, GLfloat>)
        glGetFloatv(name, values.data());
    else
        glGetIntegerv(name, values.data());
    return values;
}

GLint TextureParameter(GLuint texture, GLenum name, int level = -1) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    if (level < 0) glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    if (level >= 0) glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

TEST_F(SceneTest, InitSceneSetsTheFixedStateLightOneAndTheFont) {
    ASSERT_TRUE(InitScene());
    for (GLenum on : {GL_TEXTURE_2D, GL_DEPTH_TEST, GL_LIGHT1}) EXPECT_TRUE(glIsEnabled(on)) << on;
    for (GLenum off : {GL_LIGHTING, GL_BLEND}) EXPECT_FALSE(glIsEnabled(off)) << off;
    EXPECT_EQ((Get<GLint, 1>(GL_DEPTH_FUNC)[0]), GL_LEQUAL);
    EXPECT_EQ((Get<GLint, 1>(GL_SHADE_MODEL)[0]), GL_SMOOTH);
    EXPECT_EQ((Get<GLint, 1>(GL_PERSPECTIVE_CORRECTION_HINT)[0]), GL_NICEST);
    EXPECT_EQ(Get<GLfloat>(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0, 0, 0, 0.5f}));
    EXPECT_EQ((Get<GLfloat, 1>(GL_DEPTH_CLEAR_VALUE)[0]), 1.0f);
    std::array<GLfloat, 4> light;
    const std::pair<GLenum, std::array<GLfloat, 4>> lights[] = {{GL_AMBIENT, {0.5f, 0.5f, 0.5f, 1}},
                                                                {GL_DIFFUSE, {1, 1, 1, 1}},
                                                                {GL_POSITION, {0, 0, 2, 1}}};
    for (const auto& [name, values] : lights) {
        glGetLightfv(GL_LIGHT1, name, light.data());
        EXPECT_EQ(light, values) << name;
    }
    EXPECT_EQ((Get<GLint, 1>(GL_UNPACK_ALIGNMENT)[0]), 4);  // as it found it
    EXPECT_TRUE(glIsList(fontBase + 'V'));
}

TEST_F(SceneTest, ThreeTexturesNearestLinearAndMipmappedTheLastOneBound) {
    ASSERT_TRUE(InitScene());
    EXPECT_EQ((GLuint)(Get<GLint, 1>(GL_TEXTURE_BINDING_2D)[0]), textures[2]);
    const std::array<GLint, 4> rows[] = {{0, GL_NEAREST, GL_NEAREST, 1},
                                         {1, GL_LINEAR, GL_LINEAR, 1},
                                         {2, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, 4}};
    for (const auto& [index, mag, min, levels] : rows) {
        const GLuint texture = textures[index];
        EXPECT_EQ(TextureParameter(texture, GL_TEXTURE_MAG_FILTER), mag) << index;
        EXPECT_EQ(TextureParameter(texture, GL_TEXTURE_MIN_FILTER), min) << index;
        for (int level = 0; level <= 4; ++level)  // 8-4-2-1 for the mipmapped copy
            EXPECT_EQ(TextureParameter(texture, GL_TEXTURE_WIDTH, level),
                      level < levels ? 8 >> level : 0)
                << index << " level " << level;
    }
}

TEST_F(SceneTest, RowsOfOddWidthUploadIntact) {
    std::vector<uint8_t> rgb(18);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = (uint8_t)(i + 1);
    WriteBitmap(directory_ / "Data" / "texture.bmp", 3, 2, rgb);
    ASSERT_TRUE(InitScene());
    for (GLuint texture : {textures[0], textures[1]}) {  // the mipmaps are scaled
        std::vector<uint8_t> texels(18);
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
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

class TimelineTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        ASSERT_TRUE(InitScene());
    }
};

struct CubeView {
    float angleX, angleY;
    Rgb bottomLeft, bottomRight, topLeft, topRight;  // the face turned to the eye
};

// The face square-on to the eye shows the texture's quadrants where its
// texture coordinates put them: the front face unturned; turned 90 degrees
// about x after y, the top face.
TEST_F(TimelineTest, TheCubeShowsItsTexturedFaceAndTurnsByTheSteps) {
    for (CubeView view : {CubeView{0, 0, kRed, kGreen, kBlue, kYellow},
                          CubeView{90, 90, kBlue, kRed, kYellow, kGreen}}) {
        cubeAngleX = view.angleX;
        cubeAngleY = view.angleY;
        spinStepX = 30.0f;
        spinStepY = 20.0f;
        RenderFrame();
        const std::vector<uint8_t> frame = ReadFrame();
        const Rgb corners[] = {view.bottomLeft, view.bottomRight, view.topLeft, view.topRight};
        for (int c = 0; c < 4; ++c)
            EXPECT_TRUE(Shows(frame, Project(c % 2 - 0.5, c / 2 - 0.5, -4), corners[c])) << c;
        EXPECT_TRUE(Shows(frame, Project(-1.3, 0, -4), kBlack));  // beside the face
        EXPECT_EQ(cubeAngleX, view.angleX + 30.0f);
        EXPECT_EQ(cubeAngleY, view.angleY + 20.0f);
    }
    // The linear copy is bound, and the cube's last texture coordinate stays.
    EXPECT_EQ((GLuint)(Get<GLint, 1>(GL_TEXTURE_BINDING_2D)[0]), textures[1]);
    EXPECT_EQ(Get<GLfloat>(GL_CURRENT_TEXTURE_COORDS), (std::array<GLfloat, 4>{0, 1, 0, 1}));
}

TEST_F(TimelineTest, AFlashIsAnOpaqueWhiteSquareDrawnOnceInTheCubePhaseOnly) {
    RenderFrame();
    flashPending = true;
    RenderFrame();
    const std::vector<uint8_t> flash = ReadFrame();
    for (auto at : {std::pair{320, 240}, {5, 5}, {634, 474}}) EXPECT_TRUE(Shows(flash, at, kWhite));
    EXPECT_FALSE(flashPending);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ((Get<GLint, 1>(GL_BLEND_SRC)[0]), GL_SRC_ALPHA);
    EXPECT_EQ((Get<GLint, 1>(GL_BLEND_DST)[0]), GL_ONE);
    EXPECT_EQ(cubeAngleX, 0.1f + 0.1f);  // the angles advance on a flash frame too
    RenderFrame();
    EXPECT_TRUE(Shows(ReadFrame(), {5, 5}, kBlack));
    frameCount = 1200;
    flashPending = true;
    RenderFrame();
    EXPECT_TRUE(flashPending);  // never served among the pyramids
}

struct PyramidView {
    float yawBefore;  // the ramp before the frame
    Rgb left, right;  // the base corners of the face turned to the eye
};

// Frame 1000 is still a cube frame; every later one draws three pyramids:
// the first where the last frame left it, the other two at (-1.5, -1, -12)
// and (1.5, 1, -12), turned by the yaw ramp. Red apex, base corners green
// and blue: the front face square-on at 0 degrees, the right face at 270.
TEST_F(TimelineTest, FramesAfter1000DrawTheTurningPyramids) {
    frameCount = 999;
    RenderFrame();
    EXPECT_TRUE(Shows(ReadFrame(), Project(-0.5, -0.5, -4), kRed));
    EXPECT_EQ(yawRamp, 1.0f);
    for (PyramidView view :
         {PyramidView{-1.5f, kGreen, kBlue}, PyramidView{268.5f, kBlue, kGreen}}) {
        yawRamp = view.yawBefore;
        viewDepth = -30.0f;
        pyramidPosX = pyramidPosY = 0.0f;
        RenderFrame();
        EXPECT_EQ(viewDepth, -12.0f);
        EXPECT_EQ(pyramidAngle, view.yawBefore + 1.5f);
        EXPECT_EQ(pyramidAxisY, 1.0f);
        const std::vector<uint8_t> frame = ReadFrame();
        for (double x : {-1.5, 1.5}) {
            const double y = x < 0 ? -1.0 : 1.0;
            EXPECT_TRUE(Shows(frame, Project(x, y + 0.8, -11.9), kRed, 16)) << x;
            EXPECT_TRUE(Shows(frame, Project(x - 0.8, y - 0.9, -11.05), view.left, 16)) << x;
            EXPECT_TRUE(Shows(frame, Project(x + 0.8, y - 0.9, -11.05), view.right, 16)) << x;
        }
    }
    // The line ends where the third pyramid carries it: its transform, then
    // 5 - offset along x and -2 along y, then the glyphs' advances.
    double advance = 5.0 - scrollOffset;
    for (const char* c = greetingText; *c; ++c)
        advance += glyphMetrics[(unsigned char)*c].gmfCellIncX;
    const double a = pyramidAngle * std::numbers::pi / 180.0;
    const auto modelview = Get<GLfloat, 16>(GL_MODELVIEW_MATRIX);
    EXPECT_NEAR(modelview[12], 1.5 + std::cos(a) * advance, 0.05);
    EXPECT_NEAR(modelview[13], 1.0 - 2.0, 0.05);
    EXPECT_NEAR(modelview[14], -12.0 - std::sin(a) * advance, 0.05);
}

TEST_F(TimelineTest, TheYawRampThenTheTiltRampThenStillness) {
    frameCount = 1000;
    RenderUntil(1000 + 479);
    EXPECT_EQ(yawRamp, 719.5f);
    EXPECT_EQ(tiltRamp, 1.0f);
    RenderFrame();  // pyramid frame 480: the tilt overwrites the yaw
    EXPECT_EQ(yawRamp, 721.0f);
    EXPECT_EQ(pyramidAngle, 1.01f);
    EXPECT_EQ(pyramidAxisX, 0.0f);
    EXPECT_EQ(pyramidAxisZ, 1.0f);
    int tiltSteps = 1;
    for (float previous = tiltRamp; frameCount < 2100; previous = tiltRamp) {
        RenderFrame();
        tiltSteps += tiltRamp != previous;
    }
    EXPECT_EQ(tiltSteps, 522);
    // About 180.2009: each product rounded from double; a float factor
    // would end at 180.2001.
    EXPECT_EQ(tiltRamp, 0x1.6866dap+7f);
    EXPECT_EQ(pyramidAngle, tiltRamp);
}

TEST_F(TimelineTest, TheFrameCountStopsAtIntMax) {
    frameCount = INT_MAX - 1;
    RenderFrame();
    RenderFrame();
    EXPECT_EQ(frameCount, INT_MAX);
    EXPECT_EQ(yawRamp, 4.0f);  // both were pyramid frames
}

}  // namespace
