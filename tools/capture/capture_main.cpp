// kv17-capture: runs the demo and saves chosen frames as PNG files, or
// records a video.
#include "capture_options.h"
#include "frame_capture.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool haveDisplay = getenv("DISPLAY") || getenv("WAYLAND_DISPLAY");
    CaptureOptions options;
    std::string error;
    if (!ParseCaptureOptions(args, haveDisplay, &options, &error)) {
        fprintf(stderr, "kv17-capture: %s\n%s", error.c_str(), kCaptureUsage);
        return 2;
    }
    if (options.help) {
        fputs(kCaptureUsage, stdout);
        return 0;
    }
    return RunCapture(options);
}
