// Counters after runs far longer than a test can wait for: reached by
// setting them, then drawn through as usual.
#include "demo_fixture.h"
#include "gl_test_context.h"
#include "greeting_text.h"
#include "outline_font.h"
#include "scene_reset.h"

#include <GL/gl.h>

#include <climits>
#include <cmath>

namespace {

class LongRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(context_.ok());
        ResetSceneVariables();
        windowDC = context_.dc;
        BuildOutlineFont();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-0.0414, 0.0414, -0.0311, 0.0311, 0.1, 100.0);  // 45 degrees, 4:3
        glMatrixMode(GL_MODELVIEW);
    }
    void TearDown() override {
        DeleteOutlineFont();
        windowDC = nullptr;
        ResetSceneVariables();
    }
    GlTestContext context_;
};

TEST_F(LongRunTest, ScrollOffsetStallsFiniteOnceTheStepNoLongerAddsUp) {
    // About 21 million frames in: a float that large no longer grows by 0.05.
    scrollOffset = 1048576.0f;
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -5.0f);
    PrintScroller(greetingText);
    EXPECT_EQ(scrollOffset, 1048576.0f);
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (GLfloat value : modelview) EXPECT_TRUE(std::isfinite(value));
    // The whole line has long gone past the left edge: nothing is drawn.
    std::vector<uint8_t> frame = ReadFrame();
    EXPECT_EQ(std::count_if(frame.begin(), frame.end(), [](uint8_t v) { return v > 0; }), 0);
}

TEST_F(LongRunTest, LineIsGoneWellBeforeThat) {
    // 20,000 frames (a minute or two at full speed) is past the line's end.
    for (int frame = 0; frame < 20000; ++frame) scrollOffset += 0.05f;
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -5.0f);
    PrintScroller(greetingText);
    std::vector<uint8_t> frame = ReadFrame();
    EXPECT_EQ(std::count_if(frame.begin(), frame.end(), [](uint8_t v) { return v > 0; }), 0);
}

}  // namespace
