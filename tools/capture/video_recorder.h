// Recording the demo's frames as a video beside the rendering.
#pragma once

#include "video_file.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The GL thread only reads each frame back and queues it; a worker thread
// shrinks, converts and encodes, so that rendering and encoding share the
// cores. The file is opened with the first frame, at that frame's size.
class VideoRecorder {
public:
    VideoRecorder(std::string path, int fps, int shrink);
    // Stops the worker; a file not finished is removed.
    ~VideoRecorder();

    // Queues one frame (BGR, bottom row first) to be shown from index / fps
    // seconds on; waits while the queue is full. False once the recording
    // has failed: Finish then says why.
    bool Add(std::vector<uint8_t> bgr, int width, int height, int64_t index);
    // A buffer of a frame already encoded, to read the next one into, or
    // an empty one: a fresh 900 KB a frame would cost page faults.
    std::vector<uint8_t> SpareBuffer();
    // Encodes what is queued and finishes the file; false, with the reason
    // in *error, when it is not there complete.
    bool Finish(std::string* error);

private:
    struct Frame {
        std::vector<uint8_t> bgr;
        int width, height;
        int64_t index;
    };
    void Work();
    bool Encode(const Frame& frame, std::string* error);

    const std::string path_;
    const int fps_, shrink_;
    std::unique_ptr<VideoFile> video_;  // the worker's
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Frame> queue_;
    std::vector<std::vector<uint8_t>> spare_;
    bool ending_ = false;
    bool failed_ = false;
    std::string error_;
    std::thread worker_;
};
