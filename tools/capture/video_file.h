// Writing frames as a video with FFmpeg's libraries.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// True when the name ends in the extension of a format VideoFile writes:
// .mp4, .webm, .gif or .webp, in any case.
bool IsVideoFileName(const std::string& path);
bool IsGifFileName(const std::string& path);

// One video being written. The extension picks container and codec: .mp4
// H.264 (libx264, yuv420p, the index up front so that browsers can play it
// while it loads), .webm VP9 (libvpx-vp9), .gif (a palette made for each
// frame) and .webp (libwebp's animation encoder); the animations loop. The
// file appears under its name only when Finish succeeds.
class VideoFile {
public:
    // An encoder for pictures of `width` x `height`, made even for the 4:2:0
    // formats, `fps` of them per second. Null, with the reason in *error,
    // when the encoder is missing or the file cannot be made.
    static std::unique_ptr<VideoFile> Open(const std::string& path, int width, int height, int fps,
                                           std::string* error);
    ~VideoFile();

    // Encodes one picture, BGR rows bottom row first (as GL reads them),
    // scaled to the video's size if it differs, shown from `index` / fps
    // seconds on; indexes must increase.
    bool AddFrame(const uint8_t* bgr, int width, int height, int64_t index, std::string* error);
    // Flushes the encoder, completes and closes the file and gives it its
    // name. Without it the destructor removes what was written.
    bool Finish(std::string* error);

    struct State;

private:
    explicit VideoFile(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};
