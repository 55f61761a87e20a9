// The command line of kv17-capture: which frames to save, where, the answer
// to the start question and the keys to press.
#pragma once

#include <string>
#include <vector>

// A key held down while the frames first..last are made.
struct KeyHold {
    int virtualKey;
    int firstFrame;
    int lastFrame;
};

struct CaptureOptions {
    std::vector<int> frames;  // ascending, no repeats
    std::string outDir = "shots";
    bool fullscreen = false;
    bool headless = false;
    int shrink = 1;  // each saved side divided by this, pixels averaged
    std::vector<KeyHold> keys;
};

// Parses the arguments after the program name. `haveDisplay` picks the
// default of --headless. False, with a one-line reason in *error, on any
// malformed argument.
bool ParseCaptureOptions(const std::vector<std::string>& args, bool haveDisplay,
                         CaptureOptions* options, std::string* error);

extern const char kCaptureUsage[];
