#include "capture_options.h"

#include "video_file.h"
#include "win32_api.h"

#include <algorithm>
#include <charconv>
#include <climits>

const char kCaptureUsage[] =
    "usage: kv17-capture --frames LIST [--out DIR] [OPTIONS]\n"
    "       kv17-capture --video FILE [--frames A-B] [--fps N] [OPTIONS]\n"
    "Runs the demo and saves chosen frames as PNG files, or records a video.\n"
    "  --frames LIST     frame numbers to save, e.g. 1,455,1000-1003 (1 to 1000000)\n"
    "  --out DIR         where frame-NNNNN.png are written (default shots)\n"
    "  --video FILE      record frames A to B into FILE; its extension picks the\n"
    "                    format: .mp4 (H.264), .webm (VP9), .gif or .webp\n"
    "                    (animated). Default frames: from 1 until the greeting\n"
    "                    line has left the screen\n"
    "  --fps N           video frames per second, 1 to 60 (default 60: every frame;\n"
    "                    the demo was made for 60 Hz, fewer drop frames); a GIF\n"
    "                    keeps hundredths of a second: 50 at most, its default\n"
    "  --fullscreen ANS  the answer to the start question (default no)\n"
    "  --keys SCRIPT     keys held over frames, e.g. pageup:200-300,f1:600;\n"
    "                    keys: pageup, pagedown, f1; frames from 2 on\n"
    "  --shrink N        save frames N times smaller (1 to 8, default 1)\n"
    "  --headless        no window on screen (the default without a display)\n"
    "  --on-display      a visible window (the default with a display)\n"
    "  -h, --help        print this text\n"
    "Files appear only when complete: each is written under a temporary name\n"
    "and renamed at the end. On a terminal a video shows its progress. Ctrl-C or\n"
    "SIGTERM ends a video early: the frames made so far are finished into FILE\n"
    "as a shorter video, and the exit status is 1.\n"
    "The demo runs from the working directory if it holds Data/texture.bmp,\n"
    "else from the installed data; it ends with Esc after the last frame.\n";

namespace {

constexpr int kMostShrink = 8;
constexpr int kMostGifFps = 50;

// A typo such as 1-1000000 should not write a million files.
constexpr int kMostFramesPerRange = 100000;

bool ParseNumber(std::string_view text, int* value) {
    if (text.empty()) return false;
    auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return status == std::errc() && end == text.data() + text.size();
}

// "N" or "N-M" with 1 <= N <= M <= kLastFrameAccepted, at most
// kMostFramesPerRange frames.
bool ParseRange(std::string_view text, int* first, int* last) {
    size_t dash = text.find('-');
    if (dash == std::string_view::npos) {
        if (!ParseNumber(text, first)) return false;
        *last = *first;
    } else if (!ParseNumber(text.substr(0, dash), first) ||
               !ParseNumber(text.substr(dash + 1), last)) {
        return false;
    }
    return *first >= 1 && *first <= *last && *last <= kLastFrameAccepted &&
           *last - *first < kMostFramesPerRange;
}

std::vector<std::string_view> SplitCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    for (;;) {
        size_t comma = text.find(',');
        parts.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) return parts;
        text.remove_prefix(comma + 1);
    }
}

bool ParseFrames(std::string_view text, std::vector<int>* frames) {
    for (std::string_view part : SplitCommas(text)) {
        int first = 0, last = 0;
        if (!ParseRange(part, &first, &last)) return false;
        for (int frame = first;; ++frame) {
            frames->push_back(frame);
            if (frame == last) break;
        }
    }
    std::sort(frames->begin(), frames->end());
    frames->erase(std::unique(frames->begin(), frames->end()), frames->end());
    return true;
}

struct KeyName {
    const char* name;
    int virtualKey;
};
constexpr KeyName kKeyNames[] = {{"pageup", VK_PRIOR}, {"pagedown", VK_NEXT}, {"f1", VK_F1}};

int KeyNamed(std::string_view name) {
    for (const KeyName& key : kKeyNames)
        if (name == key.name) return key.virtualKey;
    return 0;
}

const char* NameOfKey(int virtualKey) {
    for (const KeyName& key : kKeyNames)
        if (virtualKey == key.virtualKey) return key.name;
    return "?";
}

// Keys are posted from the frame before, so frame 1 cannot start a hold.
bool ParseKeys(std::string_view text, std::vector<KeyHold>* keys) {
    for (std::string_view part : SplitCommas(text)) {
        size_t colon = part.find(':');
        if (colon == std::string_view::npos) return false;
        KeyHold hold{KeyNamed(part.substr(0, colon)), 0, 0};
        if (hold.virtualKey == 0) return false;
        if (!ParseRange(part.substr(colon + 1), &hold.firstFrame, &hold.lastFrame)) return false;
        if (hold.firstFrame < 2) return false;
        keys->push_back(hold);
    }
    return true;
}

}  // namespace

std::string KeyBeyondLastFrame(const std::vector<KeyHold>& keys, int lastFrame) {
    for (const KeyHold& hold : keys) {
        if (hold.lastFrame <= lastFrame) continue;
        std::string text =
            std::string(NameOfKey(hold.virtualKey)) + ":" + std::to_string(hold.firstFrame);
        if (hold.lastFrame != hold.firstFrame) text += '-' + std::to_string(hold.lastFrame);
        return text + " goes past the last frame, " + std::to_string(lastFrame);
    }
    return "";
}

bool ParseCaptureOptions(const std::vector<std::string>& args, bool haveDisplay,
                         CaptureOptions* options, std::string* error) {
    options->headless = !haveDisplay;
    bool outGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (flag == "--help" || flag == "-h") {
            options->help = true;
            return true;
        }
        if (flag == "--headless") {
            options->headless = true;
            continue;
        }
        if (flag == "--on-display") {
            options->headless = false;
            continue;
        }
        if (flag != "--frames" && flag != "--out" && flag != "--fullscreen" && flag != "--keys" &&
            flag != "--shrink" && flag != "--video" && flag != "--fps") {
            *error = "unknown argument " + flag;
            return false;
        }
        if (i + 1 == args.size()) {
            *error = flag + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        if (flag == "--frames" && !ParseFrames(value, &options->frames)) {
            *error = "bad frame list " + value + " (frames are 1 to " +
                     std::to_string(kLastFrameAccepted) + ")";
            return false;
        }
        if (flag == "--out") {
            if (value.empty()) {
                *error = "--out needs a directory";
                return false;
            }
            options->outDir = value;
            outGiven = true;
        }
        if (flag == "--video") {
            if (value.empty()) {
                *error = "--video needs a file name";
                return false;
            }
            if (!IsVideoFileName(value)) {
                *error = "cannot tell the video format of " + value +
                         ": the name must end in .mp4, .webm, .gif or .webp";
                return false;
            }
            options->videoPath = value;
        }
        if (flag == "--fps" &&
            (!ParseNumber(value, &options->fps) || options->fps < 1 || options->fps > 60)) {
            *error = "--fps takes 1 to 60";
            return false;
        }
        if (flag == "--fullscreen") {
            if (value != "yes" && value != "no") {
                *error = "--fullscreen takes yes or no";
                return false;
            }
            options->fullscreen = value == "yes";
        }
        if (flag == "--shrink" && (!ParseNumber(value, &options->shrink) || options->shrink < 1 ||
                                   options->shrink > kMostShrink)) {
            *error = "--shrink takes 1 to 8";
            return false;
        }
        if (flag == "--keys" && !ParseKeys(value, &options->keys)) {
            *error = "bad key script " + value;
            return false;
        }
    }
    const std::vector<int>& frames = options->frames;
    if (options->videoPath.empty()) {
        if (frames.empty()) {
            *error = "no frames asked for (--frames)";
            return false;
        }
    } else {
        if (outGiven) {
            *error = "--out is for PNG frames; a video goes to the --video file";
            return false;
        }
        if (!frames.empty() && frames.back() - frames.front() + 1 != (int)frames.size()) {
            *error = "a video takes one unbroken range of frames, A-B";
            return false;
        }
        // GIF keeps each frame's time in hundredths of a second, and
        // browsers slow anything under two of them down to ten.
        const bool gif = IsGifFileName(options->videoPath);
        if (options->fps == 0) options->fps = gif ? kMostGifFps : 60;
        if (gif && options->fps > kMostGifFps) {
            *error = "a GIF plays evenly at 50 frames per second at most (--fps 50, 25, 20)";
            return false;
        }
    }
    // With the default video frames the last one is known only once the
    // demo has its font; the capture checks the keys then.
    if (!frames.empty()) *error = KeyBeyondLastFrame(options->keys, frames.back());
    return error->empty();
}
