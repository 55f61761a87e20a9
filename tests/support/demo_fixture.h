// Puts the demo state back to its start values and runs each test in a
// fresh directory holding a small Data/texture.bmp, so the scene can load.
#pragma once

#include "demo_state.h"
#include "demo_state_reset.h"
#include "frame_timeline.h"
#include "test_seam.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

// The two 16-bit halves of a message parameter.
inline WPARAM PackWords(WORD low, WORD high) { return (WPARAM)low | ((WPARAM)high << 16); }

// A 2x2 24-bit bitmap with its file header.
inline void WriteTinyBitmap(const std::filesystem::path& path) {
    static const unsigned char bytes[] = {
        'B', 'M', 70,  0,   0,   0,   0, 0, 0, 0, 54, 0, 0, 0,                     // file header
        40,  0,   0,   0,   2,   0,   0, 0, 2, 0, 0,  0, 1, 0, 24, 0, 0, 0, 0, 0,  // info header
        16,  0,   0,   0,   0,   0,   0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0,
        0,   0,   255, 0,   255, 0,   0, 0,   // bottom row: red, green, padding
        255, 0,   0,   255, 255, 255, 0, 0};  // top row: blue, white, padding
    FILE* file = fopen(path.c_str(), "wb");
    fwrite(bytes, 1, sizeof(bytes), file);
    fclose(file);
}

class DemoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDemoState();
        kv17::seam::UseOffscreenVideo();
        kv17::seam::AnswerMessageBoxes({});
        previous_ = std::filesystem::current_path();
        static int serial = 0;
        directory_ = std::filesystem::temp_directory_path() /
                     ("kv17-test-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
        std::filesystem::create_directories(directory_ / "Data");
        WriteTinyBitmap(directory_ / "Data" / "texture.bmp");
        std::filesystem::current_path(directory_);
    }
    void TearDown() override {
        kv17::seam::Reset();
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(directory_);
        ResetDemoState();
    }
    void RemoveBitmap() { std::filesystem::remove(directory_ / "Data" / "texture.bmp"); }

    std::filesystem::path previous_;
    std::filesystem::path directory_;
};
