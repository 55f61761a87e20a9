// Puts the demo state back to its start values and runs each test in a
// fresh directory holding a small Data/texture.bmp, so the scene can load.
// RunDemo runs the whole program in-process on the headless display, with
// actions at chosen presentations.
#pragma once

#include "bmp_writer.h"
#include "demo_main.h"
#include "demo_state.h"
#include "scene_state.h"
#include "frame_timeline.h"
#include "test_seam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

// The two 16-bit halves of a message parameter.
inline WPARAM PackWords(WORD low, WORD high) { return (WPARAM)low | ((WPARAM)high << 16); }

// Names a table's row, a value-parameterised case that CTest runs on its own, after its `name`.
inline const auto RowName = [](const auto& info) -> std::string { return info.param.name; };

// A 24-bit bitmap with its file header; `rgb` rows bottom first, unpadded.
inline void WriteBitmap(const std::filesystem::path& path, int width, int height,
                        std::vector<uint8_t> rgb) {
    const std::vector<uint8_t> bytes = EncodeBitmap(RgbImage{width, height, rgb.data()});
    std::ofstream(path, std::ios::binary).write((const char*)bytes.data(), bytes.size());
}

class DemoTest : public ::testing::Test {
public:
    static constexpr int kMostSwaps = 5000;

    // Runs `action` inside the swap that presents frame pass `swap`, before
    // that pass's keys and rhythm update.
    void At(int swap, std::function<void()> action) { actions_[swap] = std::move(action); }

    void EscAt(int swap) {
        At(swap, [] { kv17::seam::PostKey(mainWindow, VK_ESCAPE, true); });
    }

protected:
    void SetUp() override {
        ResetDemoState();
        ResetSceneState();
        kv17::seam::UseOffscreenVideo();
        kv17::seam::AnswerMessageBoxes({});
        previous_ = std::filesystem::current_path();
        static int serial = 0;
        directory_ = std::filesystem::temp_directory_path() /
                     ("kv17-test-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
        std::filesystem::create_directories(directory_ / "Data");
        WriteBitmap(directory_ / "Data" / "texture.bmp", 2, 2,
                    {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
        std::filesystem::current_path(directory_);
        swaps_ = 0;
        actions_.clear();
        kv17::seam::OnSwapBuffers([this](HDC) {
            ++swaps_;
            auto action = actions_.find(swaps_);
            if (action != actions_.end()) action->second();
            // A loop that never ends fails the test instead of hanging it.
            if (swaps_ > kMostSwaps) kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
        });
    }
    void TearDown() override {
        kv17::seam::Reset();
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(directory_);
        ResetDemoState();
        ResetSceneState();
    }
    void RemoveBitmap() { std::filesystem::remove(directory_ / "Data" / "texture.bmp"); }

    int RunDemo(const std::vector<int>& answers) {
        kv17::seam::AnswerMessageBoxes(answers);
        return DemoMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW);
    }
    // The boxes shown, one "caption: text (flags)" line each.
    static std::string Boxes() {
        std::string boxes;
        for (const auto& box : kv17::seam::MessageBoxesShown())
            boxes += box.caption + ": " + box.text + " (" + std::to_string(box.flags) + ")\n";
        return boxes;
    }
    // How many times `call` was recorded.
    static long Count(const char* call) {
        const auto& calls = kv17::seam::RecordedCalls();
        return std::count(calls.begin(), calls.end(), call);
    }

    std::filesystem::path previous_;
    std::filesystem::path directory_;
    int swaps_ = 0;
    std::map<int, std::function<void()>> actions_;
};
