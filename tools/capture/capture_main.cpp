// kv17-capture: runs the demo and saves chosen frames as PNG files, or
// records a video.
#include "capture_options.h"
#include "frame_capture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

// The demo loads "Data/texture.bmp" from the working directory. When that
// is not there, an installed kv17-capture runs from the installed data
// (KV17_BIN_TO_DATA from its own folder); paths given on the command line
// keep meaning what they meant where the user started it.
void UseInstalledDataIfNeeded(CaptureOptions* options) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists("Data/texture.bmp", error)) return;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) return;
    fs::path data = self.parent_path() / KV17_BIN_TO_DATA;
    if (!fs::exists(data / "Data/texture.bmp", error)) return;
    options->outDir = fs::absolute(options->outDir).string();
    if (!options->videoPath.empty()) options->videoPath = fs::absolute(options->videoPath).string();
    fs::current_path(data, error);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool haveDisplay = getenv("DISPLAY") || getenv("WAYLAND_DISPLAY");
    CaptureOptions options;
    std::string error;
    if (!ParseCaptureOptions(args, haveDisplay, &options, &error)) {
        fprintf(stderr, "kv17-capture: %s\n(kv17-capture --help lists the options)\n",
                error.c_str());
        return 2;
    }
    if (options.help) {
        fputs(kCaptureUsage, stdout);
        return 0;
    }
    if (options.version) {
        printf("kv17-capture (kv17) %s\n", KV17_VERSION);
        return 0;
    }
    UseInstalledDataIfNeeded(&options);
    return RunCapture(options);
}
