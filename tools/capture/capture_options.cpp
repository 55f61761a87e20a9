#include "capture_options.h"

#include "video_file.h"
#include "whole_number.h"
#include "win32_api.h"

#include <algorithm>
#include <set>

const char kCaptureUsage[] =
    "usage: kv17-capture --frames LIST [--out DIR] [OPTIONS]\n"
    "       kv17-capture --video FILE [--frames A-B] [--fps N] [OPTIONS]\n"
    "Runs the demo and saves chosen frames as PNG files, or records a video.\n"
    "  --frames LIST     frame numbers to save, e.g. 1,455,1000-1003 (1 to 1000000;\n"
    "                    at most 100000 frames in all)\n"
    "  --out DIR         where frame-NNNNN.png are written (default shots)\n"
    "  --video FILE      record frames A to B into FILE, a file on this machine\n"
    "                    whatever its name holds; its extension picks the\n"
    "                    format: .mp4 (H.264), .webm (VP9), .gif or .webp\n"
    "                    (animated). Default frames: from 1 until the greeting\n"
    "                    line has left the screen\n"
    "  --fps N           video frames per second, 1 to 60 (default 60: every frame;\n"
    "                    the demo was made for 60 Hz, fewer drop frames); a GIF\n"
    "                    keeps hundredths of a second: 50 at most, its default\n"
    "  --fullscreen ANS  the answer to the start question, yes or no (default no)\n"
    "  --keys SCRIPT     keys held over frames, e.g. pageup:200-300,f1:600;\n"
    "                    keys: pageup, pagedown, f1; frames from 2 on\n"
    "  --shrink N        save frames N times smaller (1 to 8, default 1)\n"
    "  --headless        no window on screen (the default without a display)\n"
    "  --on-display      a visible window (the default with a display)\n"
    "  -h, --help        print this text\n"
    "  --version         print the version\n"
    "Files appear only when complete: each is written under a temporary name\n"
    "and renamed at the end; DIR and FILE's folder are checked before the demo\n"
    "starts. On a terminal a progress bar shows how far the run has come.\n"
    "Ctrl-C, SIGTERM or SIGHUP ends a video early: the frames made so far are\n"
    "finished into FILE as a shorter video, and the exit status is 1. Any\n"
    "other signal that ends the program (SIGQUIT, say) leaves no part of a\n"
    "file behind.\n"
    "The demo runs from the working directory if it holds Data/texture.bmp,\n"
    "else from the installed data; it ends with Esc after the last frame.\n"
    "Exit status: 0 done, 1 failed or stopped early, 2 misuse.\n";

namespace {

constexpr int kMostShrink = 8;
constexpr int kMostGifFps = 50;

// A typo such as 1-1000000 should not write a million files.
constexpr int kMostFrames = 100000;

// "N" or "N-M" with 1 <= N <= M <= kLastFrameAccepted.
bool ParseRange(std::string_view text, int* first, int* last) {
    size_t dash = text.find('-');
    if (dash == std::string_view::npos) {
        if (!ParseWholeNumber(text, 1, kLastFrameAccepted, first)) return false;
        *last = *first;
    } else if (!ParseWholeNumber(text.substr(0, dash), 1, kLastFrameAccepted, first) ||
               !ParseWholeNumber(text.substr(dash + 1), 1, kLastFrameAccepted, last)) {
        return false;
    }
    return *first <= *last;
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

// Ascending, each frame once. The ranges are merged before anything is
// counted or listed, so that the cap holds for the whole list however its
// ranges overlap, and a list of many ranges costs no more memory than its
// frames.
bool ParseFrames(std::string_view text, std::vector<int>* frames, std::string* error) {
    std::vector<std::pair<int, int>> ranges;
    for (std::string_view part : SplitCommas(text)) {
        int first = 0, last = 0;
        if (!ParseRange(part, &first, &last)) {
            *error = "bad frame list " + std::string(text) + " (frames are 1 to " +
                     std::to_string(kLastFrameAccepted) + ")";
            return false;
        }
        ranges.emplace_back(first, last);
    }
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<int, int>> merged;
    long long count = 0;
    for (const auto& [first, last] : ranges) {
        if (!merged.empty() && first <= merged.back().second) {
            count += std::max(0, last - merged.back().second);
            merged.back().second = std::max(merged.back().second, last);
        } else {
            count += last - first + 1;
            merged.emplace_back(first, last);
        }
    }
    if (count > kMostFrames) {
        *error = "--frames asks for " + std::to_string(count) + " frames; a run saves at most " +
                 std::to_string(kMostFrames);
        return false;
    }
    for (const auto& [first, last] : merged)
        for (int frame = first; frame <= last; ++frame) frames->push_back(frame);
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

namespace {

// One option's value; "" when it is good, else why not.
std::string TakeValue(const std::string& flag, const std::string& value, CaptureOptions* options) {
    std::string error;
    if (flag == "--frames") ParseFrames(value, &options->frames, &error);
    if (flag == "--out") {
        if (value.empty()) return "--out needs a directory";
        options->outDir = value;
    }
    if (flag == "--video") {
        if (value.empty()) return "--video needs a file name";
        if (!IsVideoFileName(value))
            return "cannot tell the video format of " + value +
                   ": the name must end in .mp4, .webm, .gif or .webp";
        options->videoPath = value;
    }
    if (flag == "--fps" && !ParseWholeNumber(value, 1, 60, &options->fps))
        return "--fps takes 1 to 60";
    if (flag == "--fullscreen") {
        if (value != "yes" && value != "no") return "--fullscreen takes yes or no";
        options->fullscreen = value == "yes";
    }
    if (flag == "--shrink" && !ParseWholeNumber(value, 1, kMostShrink, &options->shrink))
        return "--shrink takes 1 to 8";
    if (flag == "--keys" && !ParseKeys(value, &options->keys)) return "bad key script " + value;
    return error;
}

}  // namespace

bool ParseCaptureOptions(const std::vector<std::string>& args, bool haveDisplay,
                         CaptureOptions* options, std::string* error) {
    options->headless = !haveDisplay;
    std::set<std::string> given;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h" || arg == "--version") {
            (arg == "--version" ? options->version : options->help) = true;
            return true;
        }
        if (arg == "--headless" || arg == "--on-display") {
            options->headless = arg == "--headless";
            continue;
        }
        // "--out DIR" or "--out=DIR".
        const std::string flag = arg.substr(0, arg.find('='));
        if (flag != "--frames" && flag != "--out" && flag != "--fullscreen" && flag != "--keys" &&
            flag != "--shrink" && flag != "--video" && flag != "--fps") {
            *error = "unknown argument " + arg;
            return false;
        }
        const bool joined = flag.size() < arg.size();
        if (!joined && i + 1 == args.size()) {
            *error = flag + " needs a value";
            return false;
        }
        if (!given.insert(flag).second) {
            *error = flag + " given twice";
            return false;
        }
        *error = TakeValue(flag, joined ? arg.substr(flag.size() + 1) : args[++i], options);
        if (!error->empty()) return false;
    }
    const bool outGiven = given.count("--out") != 0;
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
