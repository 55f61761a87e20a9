// The Win32 subset on SDL's headless driver: what SDL's events become, the
// messages window calls send, classes, display modes and message boxes.
#include "test_seam.h"
#include "win32_api.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Received&) const = default;
};
std::vector<Received> received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back({message, wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

WPARAM Words(WORD low, WORD high) { return (WPARAM)low | (WPARAM)high << 16; }

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        kv17::seam::UseOffscreenVideo();
        kv17::seam::AnswerMessageBoxes({});
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.lpszClassName = "recording";
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
    // What dispatching everything queued delivers, as the main loop does it.
    std::vector<Received> Pump() {
        received.clear();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return received;
    }
    HWND window_ = nullptr;
};

TEST_F(PlatformTest, WindowCallsSendTheirMessagesBeforeReturning) {
    EXPECT_EQ(received, (std::vector<Received>{{WM_SIZE, SIZE_RESTORED, 320 | 200 << 16}}));
    received.clear();
    ShowWindow(window_, SW_SHOW);
    ASSERT_GE(received.size(), 1u);
    EXPECT_EQ(received[0], (Received{WM_ACTIVATE, Words(WA_ACTIVE, 0), 0}));
    EXPECT_TRUE(kv17::seam::DescribeWindow(window_).borderless);
}

struct KeyRow {
    SDL_Keycode key;
    Uint16 mod;
    UINT message;
    WPARAM virtualKey;
};

// Straight from SDL's key codes, so a mapping wrong both ways still shows.
TEST_F(PlatformTest, KeysArriveAsTheirVirtualKeys) {
    const KeyRow rows[] = {
        {SDLK_PAGEUP, KMOD_NONE, WM_KEYDOWN, VK_PRIOR},
        {SDLK_PAGEDOWN, KMOD_NONE, WM_KEYDOWN, VK_NEXT},
        {SDLK_ESCAPE, KMOD_NONE, WM_KEYDOWN, VK_ESCAPE},
        {SDLK_F1, KMOD_NONE, WM_KEYDOWN, VK_F1},
        {SDLK_a, KMOD_NONE, WM_KEYDOWN, 'A'},
        {SDLK_F10, KMOD_NONE, WM_SYSKEYDOWN, 0x79},
        {SDLK_F1, KMOD_LALT, WM_SYSKEYDOWN, VK_F1},
    };
    for (const KeyRow& row : rows) {
        for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
            SDL_Event event{};
            event.type = type;
            event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
            event.key.keysym.sym = row.key;
            event.key.keysym.mod = row.mod;
            SDL_PushEvent(&event);
        }
        const std::vector<Received> got = Pump();
        ASSERT_EQ(got.size(), 2u) << row.key;
        EXPECT_EQ(got[0].message, row.message) << row.key;
        EXPECT_EQ(got[1].message, row.message + 1) << row.key;  // the key-up
        EXPECT_EQ(got[0].wParam, row.virtualKey) << row.key;
        EXPECT_EQ(got[0].lParam & 0x8000FFFF, 1) << row.key;  // once, pressed
        EXPECT_EQ(got[1].lParam >> 31 & 1, 1) << row.key;     // released
    }
}

TEST_F(PlatformTest, TheDisplayModeChangesOnlyToAListedSize) {
    kv17::seam::OfferDisplayMode(640, 480, 16);
    const std::array<DWORD, 3> rows[] = {
        {640, 480, 16}, {640, 480, 32}, {640, 400, 16}, {800, 480, 16}};
    for (const auto& [width, height, bits] : rows) {
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        mode.dmPelsWidth = width;
        mode.dmPelsHeight = height;
        mode.dmBitsPerPel = bits;
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
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
