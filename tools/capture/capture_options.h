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
    bool operator==(const KeyHold&) const = default;
};

struct CaptureOptions {
    // Ascending, no repeats. For a video one unbroken range, or empty for
    // the default: from frame 1 until the greeting line has left the screen.
    std::vector<int> frames;
    std::string outDir = "shots";
    std::string videoPath;  // empty: PNG files in outDir
    int fps = 0;            // video frames per second of the demo's 60; 0 until set
    bool fullscreen = false;
    bool headless = false;
    int shrink = 1;  // each saved side divided by this, pixels averaged
    std::vector<KeyHold> keys;
    bool help = false;     // --help: print the usage, nothing else
    bool version = false;  // --version: print the version, nothing else
};

// The highest frame number accepted. Nothing moves any more long before it
// (the greeting line is gone near frame 11,000, the pyramids have stopped
// turning at about 2,000), and it keeps frame arithmetic far from INT_MAX.
constexpr int kLastFrameAccepted = 1000000;

// Parses the arguments after the program name. `haveDisplay` picks the
// default of --headless. False, with a one-line reason in *error, on any
// malformed argument.
bool ParseCaptureOptions(const std::vector<std::string>& args, bool haveDisplay,
                         CaptureOptions* options, std::string* error);

// A key hold that ends after `lastFrame`, which would be cut short
// unnoticed: its description for an error message, else empty.
std::string KeyBeyondLastFrame(const std::vector<KeyHold>& keys, int lastFrame);

extern const char kCaptureUsage[];
