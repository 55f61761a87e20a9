// Times the outline-font scroller on an offscreen 640x480 context with the
// demo's projection: building the font, an empty frame, and frames 1..200 of
// the scroll with every glyph drawn and with hidden glyphs culled. Prints
// medians; the last line is the culled text frame over the empty frame.
#include "demo_state.h"
#include "greeting_text.h"
#include "median.h"
#include "offscreen_gl.h"
#include "outline_font.h"
#include "scene_state.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFrames = 200;  // frames 1..200 of the scroll
constexpr int kRounds = 5;    // each variant's frames, interleaved with the others'
constexpr int kBuilds = 5;

// What the demo's ResizeScene and InitScene set that matters here; texturing
// and lighting stay off.
void SetUpLikeTheDemo() {
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, (double)kWidth / (double)kHeight, (double)0.1f, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
}

double Milliseconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

// One cube-phase frame from the clear to the finished image: the line is
// drawn on the cube's translation, as RenderFrame leaves it.
double TimeFrame(bool withLine) {
    auto start = std::chrono::steady_clock::now();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, viewDepth);
    if (withLine) PrintScroller(greetingText);
    glFinish();
    return Milliseconds(start);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        const bool help = !strcmp(argv[1], "--help") || !strcmp(argv[1], "-h");
        fprintf(help ? stdout : stderr,
                "usage: kv17-bench-text\nTimes the outline font's build and the greeting line's "
                "frames, drawn whole and culled, on an offscreen context; prints medians.\n");
        return help ? 0 : 2;
    }
    GlTestContext context(kWidth, kHeight);
    if (!context.ok()) {
        fprintf(stderr, "kv17-bench-text: no offscreen GL context\n");
        return 1;
    }
    windowDC = context.dc;  // the font is made on the window's device context
    SetUpLikeTheDemo();

    std::vector<double> builds;
    for (int i = 0; i < kBuilds; ++i) {
        auto start = std::chrono::steady_clock::now();
        BuildOutlineFont();
        glFinish();
        builds.push_back(Milliseconds(start));
        if (i + 1 < kBuilds) DeleteOutlineFont();
    }

    std::vector<double> empty, plain, culled;
    for (int round = 0; round < kRounds; ++round) {
        for (int n = 1; n <= kFrames; ++n) empty.push_back(TimeFrame(false));
        cullHiddenGlyphs = false;
        scrollOffset = 0.0f;
        for (int n = 1; n <= kFrames; ++n) plain.push_back(TimeFrame(true));
        cullHiddenGlyphs = true;
        scrollOffset = 0.0f;
        for (int n = 1; n <= kFrames; ++n) culled.push_back(TimeFrame(true));
    }

    printf("kv17-bench-text: %s, %dx%d, frames 1..%d of the scroll x %d rounds, medians\n",
           (const char*)glGetString(GL_RENDERER), kWidth, kHeight, kFrames, kRounds);
    printf("font build, 255 glyphs (of %d)    %8.2f ms\n", kBuilds, Median(builds));
    printf("empty frame                       %8.3f ms\n", Median(empty));
    printf("text frame, every glyph drawn     %8.3f ms\n", Median(plain));
    printf("text frame, hidden glyphs culled  %8.3f ms\n", Median(culled));
    printf("text frame / empty frame = %.2f\n", Median(culled) / Median(empty));

    DeleteOutlineFont();
    return 0;
}
