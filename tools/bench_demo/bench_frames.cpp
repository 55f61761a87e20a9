// Frame cost over the whole timeline against an empty clear-and-present
// loop, in one run, in the demo's own 640x480 window.
//
//   kv17-bench-frames [--frames N] [--csv FILE] [--headless]
//
// Each frame is timed from the start of RenderFrame to the end of glFinish,
// so the rasterizer's work is counted where it is done; the main loop's
// rhythm update runs between frames as in the demo, which brings the flashes.
#include "demo_main.h"
#include "demo_state.h"
#include "frame_timeline.h"
#include "gl_window.h"
#include "scene_state.h"
#include "test_seam.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 2600;  // the cube, the flashes, both pyramid ramps and after
    const char* csvPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--frames") && i + 1 < argc)
            frames = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--csv") && i + 1 < argc)
            csvPath = argv[++i];
        else if (!strcmp(argv[i], "--headless"))
            kv17::seam::UseOffscreenVideo();
        else {
            const bool help = !strcmp(argv[i], "--help") || !strcmp(argv[i], "-h");
            fprintf(help ? stdout : stderr, "usage: %s [--frames N] [--csv FILE] [--headless]\n",
                    argv[0]);
            return help ? 0 : 2;
        }
    }
    kv17::seam::MessageBoxesToStderr();
    if (!OpenDemoWindow("kv17 frame benchmark", 640, 480, 16, false)) return 1;

    // The yardstick: clear and present, nothing drawn.
    std::vector<double> empty;
    for (int i = 0; i < 500; ++i) {
        Clock::time_point start = Clock::now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        empty.push_back(MsSince(start));
        SwapBuffers(windowDC);
    }

    std::map<std::string, std::vector<double>> phases;
    FILE* csv = csvPath ? fopen(csvPath, "w") : nullptr;
    if (csv) fprintf(csv, "frame,phase,ms\n");
    for (int i = 0; i < frames; ++i) {
        const char* phase = frameCount + 1 > 1000 ? "pyramids" : flashPending ? "flash" : "cube";
        Clock::time_point start = Clock::now();
        RenderFrame();
        glFinish();
        double ms = MsSince(start);
        SwapBuffers(windowDC);
        AdvanceSpinRhythm();
        phases[phase].push_back(ms);
        if (csv) fprintf(csv, "%d,%s,%.4f\n", frameCount, phase, ms);
    }
    if (csv) fclose(csv);
    CloseDemoWindow();

    double baseline = Median(empty);
    printf("empty frame (clear + finish), median of %zu: %.3f ms\n", empty.size(), baseline);
    double worst = 0.0;
    for (const char* phase : {"cube", "flash", "pyramids"}) {
        double median = Median(phases[phase]);
        worst = std::max(worst, median / baseline);
        printf("%-8s frames, median of %4zu: %.3f ms = %.2f x empty\n", phase, phases[phase].size(),
               median, median / baseline);
    }
    printf("worst phase / empty frame = %.2f\n", worst);
    return 0;
}
