#include "capture_options.h"

#include "win32_api.h"

#include <algorithm>
#include <charconv>
#include <climits>

const char kCaptureUsage[] =
    "usage: kv17-capture --frames LIST [--out DIR] [--fullscreen yes|no]\n"
    "                    [--keys SCRIPT] [--shrink N] [--headless | --on-display]\n"
    "  --frames LIST     frame numbers to save, e.g. 1,455,1000-1003\n"
    "  --out DIR         where frame-NNNNN.png are written (default shots)\n"
    "  --fullscreen ANS  the answer to the start question (default no)\n"
    "  --keys SCRIPT     keys held over frames, e.g. pageup:200-300,f1:600;\n"
    "                    keys: pageup, pagedown, f1; frames from 2 on\n"
    "  --shrink N        save frames N times smaller (1 to 8, default 1)\n"
    "  --headless        no window on screen (the default without a display)\n"
    "  --on-display      a visible window (the default with a display)\n"
    "The demo runs from the working directory, which must hold\n"
    "Data/texture.bmp, and ends with Esc after the last frame asked for.\n";

namespace {

constexpr int kMostShrink = 8;

// A typo such as 1-1000000 should not write a million files.
constexpr int kMostFramesPerRange = 100000;

bool ParseNumber(std::string_view text, int* value) {
    if (text.empty()) return false;
    auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return status == std::errc() && end == text.data() + text.size();
}

// "N" or "N-M" with 1 <= N <= M, at most kMostFramesPerRange frames.
bool ParseRange(std::string_view text, int* first, int* last) {
    size_t dash = text.find('-');
    if (dash == std::string_view::npos) {
        if (!ParseNumber(text, first)) return false;
        *last = *first;
    } else if (!ParseNumber(text.substr(0, dash), first) ||
               !ParseNumber(text.substr(dash + 1), last)) {
        return false;
    }
    return *first >= 1 && *first <= *last && *last - *first < kMostFramesPerRange;
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

int KeyNamed(std::string_view name) {
    if (name == "pageup") return VK_PRIOR;
    if (name == "pagedown") return VK_NEXT;
    if (name == "f1") return VK_F1;
    return 0;
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

bool ParseCaptureOptions(const std::vector<std::string>& args, bool haveDisplay,
                         CaptureOptions* options, std::string* error) {
    options->headless = !haveDisplay;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (flag == "--headless") {
            options->headless = true;
            continue;
        }
        if (flag == "--on-display") {
            options->headless = false;
            continue;
        }
        if (flag != "--frames" && flag != "--out" && flag != "--fullscreen" && flag != "--keys" &&
            flag != "--shrink") {
            *error = "unknown argument " + flag;
            return false;
        }
        if (i + 1 == args.size()) {
            *error = flag + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        if (flag == "--frames" && !ParseFrames(value, &options->frames)) {
            *error = "bad frame list " + value;
            return false;
        }
        if (flag == "--out") {
            if (value.empty()) {
                *error = "--out needs a directory";
                return false;
            }
            options->outDir = value;
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
    if (options->frames.empty()) {
        *error = "no frames asked for (--frames)";
        return false;
    }
    return true;
}
