#include "frame_capture.h"

#include "demo_main.h"
#include "demo_state.h"
#include "frame_timeline.h"
#include "png_file.h"
#include "test_seam.h"

#include <GL/gl.h>

#include <cstdio>
#include <filesystem>
#include <set>

namespace {

// Presses beyond the start question: every further box (the windowed
// fallback, an error) is answered with its first button.
constexpr int kFurtherAnswers = 16;

// A run that stops making frames (a window that never becomes active)
// is ended after this many presentations past the last frame asked for.
constexpr int kSpareSwaps = 100000;

struct CaptureRun {
    const CaptureOptions* options;
    std::set<int> pending;  // frames still to save
    int lastFrame = 0;      // the frameCount of the previous swap
    int swaps = 0;
    int saved = 0;
    bool failed = false;
};

std::string FramePath(const std::string& dir, int frame) {
    char name[32];
    snprintf(name, sizeof(name), "frame-%05d.png", frame);
    return (std::filesystem::path(dir) / name).string();
}

// Each `factor` x `factor` block of pixels becomes their mean.
std::vector<uint8_t> Shrink(const std::vector<uint8_t>& rgb, int width, int height, int factor) {
    const int outWidth = width / factor, outHeight = height / factor;
    std::vector<uint8_t> out((size_t)outWidth * outHeight * 3);
    for (int y = 0; y < outHeight; ++y) {
        for (int x = 0; x < outWidth; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                int sum = 0;
                for (int dy = 0; dy < factor; ++dy)
                    for (int dx = 0; dx < factor; ++dx)
                        sum += rgb[((size_t)(y * factor + dy) * width + x * factor + dx) * 3 +
                                   channel];
                out[((size_t)y * outWidth + x) * 3 + channel] =
                    (uint8_t)((sum + factor * factor / 2) / (factor * factor));
            }
        }
    }
    return out;
}

bool SaveFrame(const std::string& path, int shrink) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2], height = viewport[3];
    std::vector<uint8_t> rgb((size_t)width * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // The default read buffer: the back buffer, or the only one the
    // offscreen driver has.
    glReadPixels(viewport[0], viewport[1], width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    if (shrink == 1) return WritePng(path, width, height, rgb);
    return WritePng(path, width / shrink, height / shrink, Shrink(rgb, width, height, shrink));
}

// Keys are posted while frame `made` is presented, so they are down (or
// up) by the time the next frame is made.
void PostKeysAfter(const CaptureOptions& options, int made) {
    for (const KeyHold& hold : options.keys) {
        if (made == hold.firstFrame - 1) kv17::seam::PostKey(mainWindow, hold.virtualKey, true);
        // F1 is released by the toggle itself; a key-up would reach the
        // window that the toggle closes.
        if (made == hold.lastFrame && hold.virtualKey != VK_F1)
            kv17::seam::PostKey(mainWindow, hold.virtualKey, false);
    }
}

void OnPresent(CaptureRun* run) {
    ++run->swaps;
    // An inactive pass presents without drawing: nothing new to save.
    const bool fresh = frameCount != run->lastFrame;
    run->lastFrame = frameCount;
    if (fresh) {
        if (run->pending.erase(frameCount)) {
            std::string path = FramePath(run->options->outDir, frameCount);
            if (SaveFrame(path, run->options->shrink)) {
                printf("%s\n", path.c_str());
                ++run->saved;
            } else {
                fprintf(stderr, "kv17-capture: could not write %s\n", path.c_str());
                run->failed = true;
            }
        }
        PostKeysAfter(*run->options, frameCount);
    }
    if (run->pending.empty() || run->failed ||
        run->swaps > run->options->frames.back() + kSpareSwaps)
        kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
}

}  // namespace

int RunCapture(const CaptureOptions& options) {
    std::error_code error;
    std::filesystem::create_directories(options.outDir, error);
    if (error) {
        fprintf(stderr, "kv17-capture: cannot make %s: %s\n", options.outDir.c_str(),
                error.message().c_str());
        return 1;
    }

    if (options.headless) {
        kv17::seam::UseOffscreenVideo();
        // The offscreen driver lists no modes; let full-screen succeed there.
        kv17::seam::OfferDisplayMode(640, 480, 16);
    }
    std::vector<int> answers(1 + kFurtherAnswers, IDYES);
    answers[0] = options.fullscreen ? IDYES : IDNO;
    kv17::seam::AnswerMessageBoxes(answers);

    CaptureRun run{&options, {options.frames.begin(), options.frames.end()}};
    kv17::seam::OnSwapBuffers([&run](HDC) { OnPresent(&run); });
    int exitCode = DemoMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW);
    kv17::seam::OnSwapBuffers(nullptr);

    // The start question is expected; anything after it is news.
    const auto& boxes = kv17::seam::MessageBoxesShown();
    for (size_t i = 1; i < boxes.size(); ++i)
        fprintf(stderr, "kv17-capture: the demo said \"%s: %s\"\n", boxes[i].caption.c_str(),
                boxes[i].text.c_str());
    kv17::seam::Reset();

    if (run.saved != (int)options.frames.size()) {
        fprintf(stderr, "kv17-capture: saved %d of %zu frames (demo exit code %d)\n", run.saved,
                options.frames.size(), exitCode);
        return 1;
    }
    return exitCode == 0 ? 0 : 1;
}
