// InitScene and LoadTextures on a real Mesa context: the fixed state, light
// 1, the three texture objects, and the failure without a bitmap.
#include "demo_main.h"
#include "render_state.h"
#include "scene_test_support.h"

#include <array>

namespace {

std::array<GLfloat, 4> GetFloats(GLenum name) {
    std::array<GLfloat, 4> values{};
    glGetFloatv(name, values.data());
    return values;
}

std::array<GLfloat, 4> GetLight1(GLenum name) {
    std::array<GLfloat, 4> values{};
    glGetLightfv(GL_LIGHT1, name, values.data());
    return values;
}

GLint TextureParameter(GLuint texture, GLenum name) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint LevelWidth(GLuint texture, int level) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    return width;
}

// Level 0 of a texture as RGB rows, bottom row first, unpadded.
std::vector<uint8_t> TexelsOf(GLuint texture, int width, int height) {
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<uint8_t> rgb((size_t)width * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

using RenderStateTest = SceneTest;

TEST_F(RenderStateTest, InitSceneSetsTheFixedStateAndLightOne) {
    ASSERT_TRUE(InitScene());

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);
    EXPECT_EQ(GetFloats(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0.0f, 0.0f, 0.0f, 0.5f}));
    GLdouble depth = 0.0;
    glGetDoublev(GL_DEPTH_CLEAR_VALUE, &depth);
    EXPECT_EQ(depth, 1.0);

    EXPECT_EQ(GetLight1(GL_AMBIENT), (std::array<GLfloat, 4>{0.5f, 0.5f, 0.5f, 1.0f}));
    EXPECT_EQ(GetLight1(GL_DIFFUSE), (std::array<GLfloat, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
    // Given under the identity modelview, so read back unchanged.
    EXPECT_EQ(GetLight1(GL_POSITION), (std::array<GLfloat, 4>{0.0f, 0.0f, 2.0f, 1.0f}));

    // The uploads leave the unpack alignment as they found it.
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 4);
    // Built last: the font's lists exist.
    EXPECT_NE(fontBase, 0u);
    EXPECT_TRUE(glIsList(fontBase + 'V'));
}

TEST_F(RenderStateTest, ThreeTexturesNearestLinearAndMipmappedWithTheMipmappedOneBound) {
    ASSERT_TRUE(InitScene());

    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ((GLuint)bound, textures[2]);
    for (GLuint texture : textures) EXPECT_TRUE(glIsTexture(texture)) << texture;
    EXPECT_NE(textures[0], textures[1]);
    EXPECT_NE(textures[1], textures[2]);
    EXPECT_NE(textures[0], textures[2]);

    EXPECT_EQ(TextureParameter(textures[0], GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(TextureParameter(textures[0], GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(TextureParameter(textures[1], GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(textures[1], GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(textures[2], GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(textures[2], GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);

    // The 8x8 picture: one level for the filtered copies, 8-4-2-1 for the
    // mipmapped one, so it is complete.
    EXPECT_EQ(LevelWidth(textures[0], 0), 8);
    EXPECT_EQ(LevelWidth(textures[0], 1), 0);
    EXPECT_EQ(LevelWidth(textures[1], 1), 0);
    for (int level = 0; level <= 3; ++level)
        EXPECT_EQ(LevelWidth(textures[2], level), 8 >> level) << "level " << level;
    EXPECT_EQ(LevelWidth(textures[2], 4), 0);
}

TEST_F(RenderStateTest, RowsThatAreNotAMultipleOfFourBytesUploadIntact) {
    // The fixture's 2x2 picture: rows of 6 bytes.
    WriteTinyBitmap(directory_ / "Data" / "texture.bmp");
    ASSERT_TRUE(InitScene());
    const std::vector<uint8_t> expected = {255, 0, 0,   0,   255, 0,     // bottom: red, green
                                           0,   0, 255, 255, 255, 255};  // top: blue, white
    for (GLuint texture : textures) EXPECT_EQ(TexelsOf(texture, 2, 2), expected) << texture;
}

TEST_F(RenderStateTest, ASecondContextGetsItsOwnWorkingScene) {
    ASSERT_TRUE(InitScene());
    context_.reset();
    context_.emplace();
    ASSERT_TRUE(context_->ok());
    windowDC = context_->dc;
    ResizeScene(640, 480);
    // Names the new context never made: InitScene must overwrite them.
    textures[0] = 901;
    textures[1] = 902;
    textures[2] = 903;
    fontBase = 0;

    ASSERT_TRUE(InitScene());
    for (GLuint texture : textures) EXPECT_TRUE(glIsTexture(texture)) << texture;
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsList(fontBase + 'V'));
}

TEST_F(RenderStateTest, WithoutTheBitmapNothingIsDone) {
    RemoveBitmap();
    EXPECT_FALSE(InitScene());

    EXPECT_EQ(textures[0], 0u);
    EXPECT_EQ(textures[1], 0u);
    EXPECT_EQ(textures[2], 0u);
    for (GLuint name = 1; name <= 8; ++name) {
        EXPECT_FALSE(glIsTexture(name)) << name;
        EXPECT_FALSE(glIsList(name)) << name;
    }
    EXPECT_EQ(fontBase, 0u);
    // Every piece of state still at GL's default.
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LESS);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_DONT_CARE);
    EXPECT_EQ(GetFloats(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0, 0, 0, 0}));
    EXPECT_EQ(GetLight1(GL_AMBIENT), (std::array<GLfloat, 4>{0, 0, 0, 1}));
    EXPECT_EQ(GetLight1(GL_POSITION), (std::array<GLfloat, 4>{0, 0, 1, 0}));
    // A missing file is no loader error: no box.
    EXPECT_TRUE(kv17::seam::MessageBoxesShown().empty());
}

using MissingBitmapTest = DemoTest;

TEST_F(MissingBitmapTest, OpeningTheWindowReportsInitializationFailedAndTheDemoEnds) {
    RemoveBitmap();
    kv17::seam::AnswerMessageBoxes({IDNO});
    EXPECT_EQ(DemoMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW), 1);
    const auto& boxes = kv17::seam::MessageBoxesShown();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].caption, "ERROR");
    EXPECT_EQ(boxes[1].text, "Initialization Failed.");
    EXPECT_EQ(kv17::seam::LiveWindows(), 0);
    EXPECT_EQ(kv17::seam::LiveContexts(), 0);
}

}  // namespace
