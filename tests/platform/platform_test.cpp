// The Win32 subset on SDL's headless driver: events, window messages, classes, modes, boxes.
#include "test_seam.h"
#include "win32_api.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using Received = std::tuple<UINT, WPARAM, LPARAM>;  // message, wParam, lParam
std::vector<Received> received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.emplace_back(message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        kv17::seam::UseOffscreenVideo();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = RecordingProc, windowClass.lpszClassName = "recording";
        ASSERT_TRUE(RegisterClassA(&windowClass));
        EXPECT_FALSE(RegisterClassA(&windowClass));  // a name is registered once
        window_ = CreateWindowExA(0, "recording", "", WS_POPUP, 0, 0, 320, 200, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        SetFocus(window_);
    }
    void TearDown() override {
        kv17::seam::Reset();
        received.clear();
    }
    HWND window_ = nullptr;
};

TEST_F(PlatformTest, WindowCallsSendTheirMessagesBeforeReturning) {
    EXPECT_EQ(received, (std::vector<Received>{{WM_SIZE, SIZE_RESTORED, 320 | 200 << 16}}));
    received.clear();
    ShowWindow(window_, SW_SHOW);
    EXPECT_EQ(received, (std::vector<Received>{{WM_ACTIVATE, WA_ACTIVE, 0},
                                               {WM_SIZE, SIZE_RESTORED, 320 | 200 << 16},
                                               {WM_SYSCOMMAND, SC_SCREENSAVE, 0}}));
    EXPECT_TRUE(kv17::seam::DescribeWindow(window_).borderless);
}

// Straight from SDL's key codes, so a mapping wrong both ways still shows.
TEST_F(PlatformTest, KeysArriveAsTheirVirtualKeys) {
    const std::tuple<SDL_Keycode, Uint16, UINT, WPARAM> rows[] = {
        {SDLK_PAGEUP, KMOD_NONE, WM_KEYDOWN, VK_PRIOR},
        {SDLK_PAGEDOWN, KMOD_NONE, WM_KEYDOWN, VK_NEXT},
        {SDLK_ESCAPE, KMOD_NONE, WM_KEYDOWN, VK_ESCAPE},
        {SDLK_F1, KMOD_NONE, WM_KEYDOWN, VK_F1},
        {SDLK_a, KMOD_NONE, WM_KEYDOWN, 'A'},
        {SDLK_F10, KMOD_NONE, WM_SYSKEYDOWN, 0x79},
        {SDLK_F1, KMOD_LALT, WM_SYSKEYDOWN, VK_F1}};
    for (const auto& [key, mod, message, virtualKey] : rows) {
        for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
            SDL_Event event{};
            event.key.type = type, event.key.keysym.sym = key, event.key.keysym.mod = mod;
            SDL_PushEvent(&event);
        }
        received.clear();
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
        // Once; with Alt the context bit; on release the previous and transition bits.
        const LPARAM pressed = 1 | (mod ? LPARAM{1} << 29 : 0);
        EXPECT_EQ(received,
                  (std::vector<Received>{{message, virtualKey, pressed},
                                         {message + 1, virtualKey, pressed | LPARAM{3} << 30}}))
            << key;
    }
}

TEST_F(PlatformTest, TheDisplayModeChangesOnlyToAListedSize) {
    kv17::seam::OfferDisplayMode(640, 480, 16);
    const DWORD modes[][3] = {{640, 480, 16}, {640, 480, 32}, {640, 400, 16}, {800, 480, 16}};
    for (const auto& [width, height, bits] : modes) {
        DEVMODEA mode{};
        mode.dmSize = sizeof mode, mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        mode.dmPelsWidth = width, mode.dmPelsHeight = height, mode.dmBitsPerPel = bits;
        // Another depth of the same size is what a driver emulating it gives.
        EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN),
                  width == 640 && height == 480 ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_BADMODE)
            << width << "x" << height;
    }
    EXPECT_TRUE(kv17::seam::DisplayModeChanged());
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_FALSE(kv17::seam::DisplayModeChanged());
}

TEST(MessageBoxTest, WithoutADisplayTheTextGoesToStderrAndTheAnswerDeclines) {
    kv17::seam::MessageBoxesToStderr();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Really?", "Asking", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Failed to open DIB file x.bmp.\n", "Error", MB_OK), IDOK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Asking: Really?\nError: Failed to open DIB file x.bmp.\n");
}

}  // namespace
