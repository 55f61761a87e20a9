#include "video_recorder.h"

#include "shrink.h"

#include <utility>

namespace {

// Enough to ride out an encoder's slower frames (x264's key frames, its
// look-ahead) while bounding memory: 16 frames of 640x480 are 15 MB.
constexpr size_t kQueueFrames = 16;

}  // namespace

VideoRecorder::VideoRecorder(std::string path, int fps, int shrink)
    : path_(std::move(path)), fps_(fps), shrink_(shrink), worker_([this] { Work(); }) {}

VideoRecorder::~VideoRecorder() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
        failed_ = true;  // drop what is queued
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

bool VideoRecorder::Add(std::vector<uint8_t> bgr, int width, int height, int64_t index) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return failed_ || queue_.size() < kQueueFrames; });
    if (failed_) return false;
    queue_.push_back({std::move(bgr), width, height, index});
    changed_.notify_all();
    return true;
}

std::vector<uint8_t> VideoRecorder::SpareBuffer() {
    std::lock_guard lock(mutex_);
    if (spare_.empty()) return {};
    std::vector<uint8_t> buffer = std::move(spare_.back());
    spare_.pop_back();
    return buffer;
}

bool VideoRecorder::Encode(const Frame& frame, std::string* error) {
    const std::vector<uint8_t>* pixels = &frame.bgr;
    int width = frame.width, height = frame.height;
    std::vector<uint8_t> shrunk;
    if (shrink_ > 1) {
        shrunk = Shrink(frame.bgr, width, height, shrink_);
        pixels = &shrunk;
        width /= shrink_;
        height /= shrink_;
    }
    if (!video_) video_ = VideoFile::Open(path_, width, height, fps_, error);
    return video_ && video_->AddFrame(pixels->data(), width, height, frame.index, error);
}

void VideoRecorder::Work() {
    for (;;) {
        Frame frame;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return ending_ || !queue_.empty(); });
            if (failed_ || queue_.empty()) return;
            frame = std::move(queue_.front());
            queue_.pop_front();
        }
        changed_.notify_all();
        std::string error;
        bool encoded = Encode(frame, &error);
        std::lock_guard lock(mutex_);
        if (!encoded) {
            failed_ = true;
            error_ = error;
            queue_.clear();
            changed_.notify_all();
            return;
        }
        if (spare_.size() < kQueueFrames) spare_.push_back(std::move(frame.bgr));
    }
}

bool VideoRecorder::Finish(std::string* error) {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    worker_.join();
    if (failed_) {
        *error = error_;
        return false;
    }
    if (!video_) {
        *error = "no frames were made for " + path_;
        return false;
    }
    return video_->Finish(error);
}
