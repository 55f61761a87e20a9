#include "frame_capture.h"

#include "demo_main.h"
#include "demo_state.h"
#include "frame_timeline.h"
#include "greeting_end.h"
#include "output_file.h"
#include "png_file.h"
#include "progress.h"
#include "scene_state.h"
#include "shrink.h"
#include "test_seam.h"
#include "video_recorder.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <unistd.h>

namespace {

// Presses beyond the start question: every further box (the windowed
// fallback, an error) is answered with its first button.
constexpr int kFurtherAnswers = 16;

// A run that stops making frames (a window that never becomes active)
// is ended after this many presentations past the last frame asked for.
constexpr int kSpareSwaps = 100000;

// The demo was tuned for a 60 Hz display: one frame of it is 1/60 s.
constexpr int kDemoFps = 60;

struct CaptureRun {
    explicit CaptureRun(const CaptureOptions* options) : options(options) {}
    const CaptureOptions* options;
    std::set<int> pending;  // PNG frames still to save
    int firstFrame = 0;     // a video's range; lastFrame is 0 until known
    int lastFrame = 0;
    VideoRecorder* video = nullptr;
    Progress* progress = nullptr;
    int previousFrame = 0;  // the frameCount of the previous swap
    int swaps = 0;
    int saved = 0;     // PNG files written, video frames queued
    int exitCode = 0;  // non-zero once the run has failed
    std::string error;
};

std::string FramePath(const std::string& dir, int frame) {
    char name[32];
    snprintf(name, sizeof(name), "frame-%05d.png", frame);
    return (std::filesystem::path(dir) / name).string();
}

// The frame about to be presented, BGR, bottom row first, into `bgr`
// (whose memory is reused when it is already the right size).
void ReadFrame(std::vector<uint8_t>* bgr, int* width, int* height) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    *width = viewport[2];
    *height = viewport[3];
    bgr->resize((size_t)*width * *height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // The default read buffer: the back buffer, or the only one the
    // offscreen driver has. BGR is the order Mesa keeps the pixels in:
    // llvmpipe reads it back in a seventh of the time RGB takes.
    glReadPixels(viewport[0], viewport[1], *width, *height, GL_BGR, GL_UNSIGNED_BYTE, bgr->data());
}

void SaveFrame(CaptureRun* run) {
    const int shrink = run->options->shrink;
    int width = 0, height = 0;
    std::vector<uint8_t> bgr;
    ReadFrame(&bgr, &width, &height);
    if (shrink > 1) bgr = Shrink(bgr, width, height, shrink);
    std::string path = FramePath(run->options->outDir, frameCount);
    if (WritePng(path, width / shrink, height / shrink, bgr, &run->error)) {
        run->progress->Clear();  // the bar is back with the next frame
        printf("%s\n", path.c_str());
        fflush(stdout);
        ++run->saved;
    } else {
        run->exitCode = 1;
    }
}

// At --fps below 60 a frame is kept when it starts a new video frame, so
// the video runs at the demo's speed.
int64_t VideoIndex(const CaptureRun& run, int frame) {
    return (int64_t)(frame - run.firstFrame) * run.options->fps / kDemoFps;
}

void RecordFrame(CaptureRun* run) {
    if (run->lastFrame == 0) {
        run->lastFrame = FrameGreetingHasLeft();
        run->error = KeyBeyondLastFrame(run->options->keys, run->lastFrame);
        if (!run->error.empty()) {
            run->exitCode = 2;
            return;
        }
    }
    run->progress->Update(frameCount, run->lastFrame);
    if (frameCount < run->firstFrame || frameCount > run->lastFrame) return;
    const int64_t index = VideoIndex(*run, frameCount);
    if (frameCount > run->firstFrame && index == VideoIndex(*run, frameCount - 1)) return;
    int width = 0, height = 0;
    std::vector<uint8_t> bgr = run->video->SpareBuffer();
    ReadFrame(&bgr, &width, &height);
    if (!run->video->Add(std::move(bgr), width, height, index)) {
        run->exitCode = 1;  // the recorder says why when it is finished
        return;
    }
    ++run->saved;
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
    const bool fresh = frameCount != run->previousFrame;
    run->previousFrame = frameCount;
    if (fresh && run->exitCode == 0) {
        if (run->video) {
            RecordFrame(run);
        } else {
            if (run->pending.erase(frameCount)) SaveFrame(run);
            run->progress->Update(frameCount, run->options->frames.back());
        }
        PostKeysAfter(*run->options, frameCount);
    }
    const bool done =
        run->video ? run->lastFrame != 0 && frameCount >= run->lastFrame : run->pending.empty();
    const int last = run->video ? run->lastFrame : run->options->frames.back();
    if (done || run->exitCode != 0 || run->swaps > last + kSpareSwaps)
        kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
}

int RunDemo(CaptureRun* run) {
    const CaptureOptions& options = *run->options;
    if (options.headless) {
        kv17::seam::UseOffscreenVideo();
        // The offscreen driver lists no modes; let full-screen succeed there.
        kv17::seam::OfferDisplayMode(640, 480, 16);
    }
    std::vector<int> answers(1 + kFurtherAnswers, IDYES);
    answers[0] = options.fullscreen ? IDYES : IDNO;
    kv17::seam::AnswerMessageBoxes(answers);

    kv17::seam::OnSwapBuffers([run](HDC) { OnPresent(run); });
    int exitCode = DemoMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW);
    kv17::seam::OnSwapBuffers(nullptr);

    // The start question is expected; anything after it is news.
    const auto& boxes = kv17::seam::MessageBoxesShown();
    for (size_t i = 1; i < boxes.size(); ++i)
        fprintf(stderr, "kv17-capture: the demo said \"%s: %s\"\n", boxes[i].caption.c_str(),
                boxes[i].text.c_str());
    const std::string whyNoDisplay = kv17::seam::WhyNoDisplay();
    if (!whyNoDisplay.empty()) fprintf(stderr, "kv17-capture: %s\n", whyNoDisplay.c_str());
    kv17::seam::Reset();
    return exitCode;
}

// Makes `dir` and the folders missing above it; returns the ones it made,
// deepest first, for a run that saves nothing to take away again.
std::vector<std::filesystem::path> MakeFolders(const std::string& dir, std::error_code* error) {
    namespace fs = std::filesystem;
    std::vector<fs::path> made;
    fs::path folder = fs::path(dir).lexically_normal();
    if (!folder.has_filename()) folder = folder.parent_path();  // "shots/"
    // A folder that cannot even be looked at is left to create_directories
    // to report.
    std::error_code unseen;
    for (; !folder.empty() && !fs::exists(folder, unseen); folder = folder.parent_path())
        made.push_back(folder);
    fs::create_directories(dir, *error);
    return made;
}

int CaptureFrames(const CaptureOptions& options) {
    std::error_code error;
    const std::vector<std::filesystem::path> made = MakeFolders(options.outDir, &error);
    if (error) {
        fprintf(stderr, "kv17-capture: cannot make %s: %s\n", options.outDir.c_str(),
                error.message().c_str());
        return 1;
    }
    CaptureRun run(&options);
    run.pending.insert(options.frames.begin(), options.frames.end());
    Progress progress(isatty(STDERR_FILENO));
    run.progress = &progress;
    int exitCode = RunDemo(&run);
    progress.Clear();
    // Only folders that stayed empty go: remove() leaves any other.
    if (run.saved == 0)
        for (const std::filesystem::path& folder : made) std::filesystem::remove(folder, error);
    if (run.exitCode != 0) {
        fprintf(stderr, "kv17-capture: %s\n", run.error.c_str());
        return run.exitCode;
    }
    if (run.saved != (int)options.frames.size()) {
        fprintf(stderr, "kv17-capture: saved %d of %zu frames (demo exit code %d)\n", run.saved,
                options.frames.size(), exitCode);
        return 1;
    }
    return exitCode == 0 ? 0 : 1;
}

// A run that ends early (Ctrl-C, SIGTERM, the demo failing) still leaves a
// complete video of the frames made so far, and exits with 1.
int CaptureVideo(const CaptureOptions& options) {
    std::string why;
    if (!CheckOutputFolder(options.videoPath, &why)) {
        fprintf(stderr, "kv17-capture: could not create %s\n", why.c_str());
        return 1;
    }
    CaptureRun run(&options);
    if (!options.frames.empty()) {
        run.firstFrame = options.frames.front();
        run.lastFrame = options.frames.back();
    } else {
        run.firstFrame = 1;
    }
    VideoRecorder video(options.videoPath, options.fps, options.shrink);
    Progress progress(isatty(STDERR_FILENO));
    run.video = &video;
    run.progress = &progress;
    int exitCode = RunDemo(&run);
    progress.Clear();

    if (run.exitCode == 2) {  // a key past the default last frame
        fprintf(stderr, "kv17-capture: %s\n", run.error.c_str());
        return 2;
    }
    if (!video.Finish(&why)) {
        fprintf(stderr, "kv17-capture: %s\n", why.c_str());
        return 1;
    }
    // The video's own length (each picture shows for 1/fps s), then what
    // making it took.
    const double seconds = progress.Seconds();
    const int made = std::min(run.previousFrame, run.lastFrame);
    const bool complete = made == run.lastFrame;
    fprintf(stderr,
            "kv17-capture: %s: frames %d-%d%s, %d video frames at %d fps: %.1f s of video, "
            "made in %.1f s (%.1f demo frames/s)\n",
            options.videoPath.c_str(), run.firstFrame, made, complete ? "" : " (stopped early)",
            run.saved, options.fps, (double)run.saved / options.fps, seconds, made / seconds);
    return complete && exitCode == 0 ? 0 : 1;
}

}  // namespace

int RunCapture(const CaptureOptions& options) {
    return options.videoPath.empty() ? CaptureFrames(options) : CaptureVideo(options);
}
