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
#include "median.h"
#include "output_file.h"
#include "scene_state.h"
#include "test_seam.h"
#include "whole_number.h"

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

constexpr char kUsage[] = "usage: kv17-bench-frames [--frames N] [--csv FILE] [--headless]\n";
constexpr int kMostFrames = 1000000;

int Misuse(const std::string& why) {
    fprintf(stderr, "kv17-bench-frames: %s\n%s", why.c_str(), kUsage);
    return 2;
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 2600;  // the cube, the flashes, both pyramid ramps and after
    const char* csvPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        const bool valued = !strcmp(argv[i], "--frames") || !strcmp(argv[i], "--csv");
        if (valued && i + 1 == argc) return Misuse(std::string(argv[i]) + " needs a value");
        if (!strcmp(argv[i], "--frames")) {
            if (!ParseWholeNumber(argv[++i], 1, kMostFrames, &frames))
                return Misuse("--frames takes 1 to 1000000");
        } else if (!strcmp(argv[i], "--csv")) {
            csvPath = argv[++i];
            if (*csvPath == '\0') return Misuse("--csv needs a file name");
        } else if (!strcmp(argv[i], "--headless")) {
            kv17::seam::UseOffscreenVideo();
        } else if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) {
            fputs(kUsage, stdout);
            return 0;
        } else {
            return Misuse("unknown argument '" + std::string(argv[i]) + "'");
        }
    }
    // Opened before the run, so that a bad name costs no waiting.
    OutputFile csvFile;
    if (csvPath && !csvFile.Open(csvPath)) {
        fprintf(stderr, "kv17-bench-frames: cannot write %s\n", csvFile.Error().c_str());
        return 1;
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
    std::string csv = "frame,phase,ms\n";
    for (int i = 0; i < frames; ++i) {
        const char* phase = frameCount + 1 > 1000 ? "pyramids" : flashPending ? "flash" : "cube";
        Clock::time_point start = Clock::now();
        RenderFrame();
        glFinish();
        double ms = MsSince(start);
        SwapBuffers(windowDC);
        AdvanceSpinRhythm();
        phases[phase].push_back(ms);
        if (csvPath) {
            char line[64];
            snprintf(line, sizeof line, "%d,%s,%.4f\n", frameCount, phase, ms);
            csv += line;
        }
    }
    CloseDemoWindow();
    if (csvPath && !(csvFile.Write(csv.data(), csv.size()) && csvFile.Commit())) {
        fprintf(stderr, "kv17-bench-frames: cannot write %s\n", csvFile.Error().c_str());
        return 1;
    }

    double baseline = Median(empty);
    printf("empty frame (clear + finish), median of %zu: %.3f ms\n", empty.size(), baseline);
    double worst = 0.0;
    for (const char* phase : {"cube", "flash", "pyramids"}) {
        if (phases[phase].empty()) continue;  // a run too short to reach it
        double median = Median(phases[phase]);
        worst = std::max(worst, median / baseline);
        printf("%-8s frames, median of %4zu: %.3f ms = %.2f x empty\n", phase, phases[phase].size(),
               median, median / baseline);
    }
    printf("worst phase / empty frame = %.2f\n", worst);
    return 0;
}
