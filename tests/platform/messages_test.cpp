// Window messages: what SDL's events become, what window calls send before
// they return, default handling, the quit message and message boxes.
#include "test_seam.h"
#include "win32_api.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Received> received;
bool passToDefault = true;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back({message, wParam, lParam});
    return passToDefault ? DefWindowProcA(window, message, wParam, lParam) : 0;
}

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        received.clear();
        passToDefault = true;
        kv17::seam::UseOffscreenVideo();
        kv17::seam::AnswerMessageBoxes({});
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.lpszClassName = "recording";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, "recording", "", WS_POPUP, 0, 0, 320, 200, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override { kv17::seam::Reset(); }

    // Dispatch everything queued, as the main loop does; true if WM_QUIT came.
    bool Pump(WPARAM* quitCode = nullptr) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                if (quitCode) *quitCode = msg.wParam;
                return true;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return false;
    }
    std::vector<Received> Only(UINT message) {
        std::vector<Received> matching;
        for (const Received& r : received)
            if (r.message == message) matching.push_back(r);
        return matching;
    }

    HWND window_ = nullptr;
};

TEST_F(MessagesTest, CreationSendsTheClientSizeBeforeReturning) {
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, (UINT)WM_SIZE);
    EXPECT_EQ(LOWORD(received[0].lParam), 320);
    EXPECT_EQ(HIWORD(received[0].lParam), 200);
}

TEST_F(MessagesTest, ShowingSendsActivationAndSize) {
    received.clear();
    ShowWindow(window_, SW_SHOW);
    ASSERT_GE(received.size(), 2u);
    EXPECT_EQ(received[0].message, (UINT)WM_ACTIVATE);
    EXPECT_EQ(LOWORD(received[0].wParam), WA_ACTIVE);
    EXPECT_EQ(HIWORD(received[0].wParam), 0);
    EXPECT_EQ(received[1].message, (UINT)WM_SIZE);
    EXPECT_EQ(LOWORD(received[1].lParam), 320);
}

struct KeyCase {
    int virtualKey;
    bool alt;
    UINT down;
    UINT up;
};

void PrintTo(const KeyCase& key, std::ostream* out) {
    *out << "vk " << key.virtualKey << (key.alt ? " with Alt" : "");
}

class KeyTranslationTest : public MessagesTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyTranslationTest, ArrivesAsItsVirtualKey) {
    const KeyCase& key = GetParam();
    received.clear();
    kv17::seam::PostKey(window_, key.virtualKey, true, key.alt);
    kv17::seam::PostKey(window_, key.virtualKey, false, key.alt);
    Pump();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, key.down);
    EXPECT_EQ(received[0].wParam, (WPARAM)key.virtualKey);
    EXPECT_EQ(received[1].message, key.up);
    EXPECT_EQ(received[1].wParam, (WPARAM)key.virtualKey);
    EXPECT_EQ(received[0].lParam & 0xFFFF, 1);     // repeat count
    EXPECT_EQ((received[0].lParam >> 31) & 1, 0);  // pressed
    EXPECT_EQ((received[1].lParam >> 31) & 1, 1);  // released
}

INSTANTIATE_TEST_SUITE_P(UsualKeys, KeyTranslationTest,
                         ::testing::Values(KeyCase{VK_ESCAPE, false, WM_KEYDOWN, WM_KEYUP},
                                           KeyCase{VK_PRIOR, false, WM_KEYDOWN, WM_KEYUP},
                                           KeyCase{VK_NEXT, false, WM_KEYDOWN, WM_KEYUP},
                                           KeyCase{VK_F1, false, WM_KEYDOWN, WM_KEYUP},
                                           KeyCase{'A', false, WM_KEYDOWN, WM_KEYUP},
                                           KeyCase{'7', false, WM_KEYDOWN, WM_KEYUP},
                                           KeyCase{0x20 /* space */, false, WM_KEYDOWN, WM_KEYUP},
                                           KeyCase{0x26 /* up */, false, WM_KEYDOWN, WM_KEYUP},
                                           KeyCase{0x79 /* F10 */, false, WM_SYSKEYDOWN,
                                                   WM_SYSKEYUP},
                                           KeyCase{'X', true, WM_SYSKEYDOWN, WM_SYSKEYUP},
                                           KeyCase{VK_F1, true, WM_SYSKEYDOWN, WM_SYSKEYUP}));

TEST_F(MessagesTest, MinimiseAndRestoreReportActivationAndSize) {
    received.clear();
    kv17::seam::PostMinimize(window_);
    Pump();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, (UINT)WM_ACTIVATE);
    EXPECT_EQ(HIWORD(received[0].wParam), 1);
    EXPECT_EQ(received[1].message, (UINT)WM_SIZE);
    EXPECT_EQ(received[1].lParam, 0);

    received.clear();
    kv17::seam::PostRestore(window_);
    Pump();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(HIWORD(received[0].wParam), 0);
    EXPECT_EQ(LOWORD(received[0].wParam), WA_ACTIVE);
    EXPECT_EQ(LOWORD(received[1].lParam), 320);
    EXPECT_EQ(HIWORD(received[1].lParam), 200);
}

TEST_F(MessagesTest, LosingTheFocusIsAnInactivationWithoutMinimise) {
    received.clear();
    kv17::seam::PostFocusLost(window_);
    Pump();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(LOWORD(received[0].wParam), WA_INACTIVE);
    EXPECT_EQ(HIWORD(received[0].wParam), 0);
}

TEST_F(MessagesTest, ResizeReportsTheNewClientSize) {
    received.clear();
    kv17::seam::PostResize(window_, 800, 600);
    Pump();
    ASSERT_EQ(Only(WM_SIZE).size(), 1u);
    EXPECT_EQ(LOWORD(Only(WM_SIZE)[0].lParam), 800);
    EXPECT_EQ(HIWORD(Only(WM_SIZE)[0].lParam), 600);
}

TEST_F(MessagesTest, CloseButtonBecomesSystemCommandThenCloseThenDestroy) {
    received.clear();
    kv17::seam::PostCloseButton(window_);
    Pump();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, (UINT)WM_SYSCOMMAND);
    EXPECT_EQ(received[0].wParam, (WPARAM)SC_CLOSE);
    EXPECT_EQ(received[1].message, (UINT)WM_CLOSE);
    // The default handling of WM_CLOSE destroyed the window.
    EXPECT_EQ(kv17::seam::LiveWindows(), 0);
}

TEST_F(MessagesTest, AltF4AsksToClose) {
    passToDefault = true;
    received.clear();
    kv17::seam::PostKey(window_, 0x73, true, true);
    Pump();
    EXPECT_EQ(Only(WM_CLOSE).size(), 1u);
}

TEST_F(MessagesTest, QuitComesOnceEverythingElseIsHandled) {
    PostQuitMessage(5);
    kv17::seam::PostKey(window_, 'Q', true);
    received.clear();
    WPARAM code = 0;
    EXPECT_TRUE(Pump(&code));
    EXPECT_EQ(code, 5u);
    EXPECT_EQ(Only(WM_KEYDOWN).size(), 1u);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));  // once only
}

TEST_F(MessagesTest, ScreenSaverIsAllowedOnlyByTheDefaultHandling) {
    ShowWindow(window_, SW_SHOW);
    EXPECT_TRUE(kv17::seam::ScreenSaverEnabled());

    passToDefault = false;
    HWND second = CreateWindowExA(0, "recording", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ShowWindow(second, SW_SHOW);
    EXPECT_FALSE(kv17::seam::ScreenSaverEnabled());
}

TEST_F(MessagesTest, MessagesToADestroyedWindowAreDropped) {
    kv17::seam::PostKey(window_, 'A', true);
    DestroyWindow(window_);
    received.clear();
    Pump();
    EXPECT_TRUE(received.empty());
}

TEST(MessageBoxTest, WithoutADisplayTheTextGoesToStderrAndTheAnswerDeclines) {
    // No script: a real box is tried, and there is no display in the tests.
    ::testing::internal::CaptureStderr();
    int question = MessageBoxA(nullptr, "Really?", "Asking", MB_YESNO | MB_ICONQUESTION);
    int notice = MessageBoxA(nullptr, "Failed to open DIB file x.bmp.\n", "Error", MB_OK);
    std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(question, IDNO);
    EXPECT_EQ(notice, IDOK);
    EXPECT_NE(printed.find("Asking: Really?\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Error: Failed to open DIB file x.bmp.\n"), std::string::npos);
    EXPECT_EQ(printed.find(".\n\n"), std::string::npos);
}

TEST(MessageBoxTest, ScriptedBoxesAreAnsweredInOrderThenDeclined) {
    kv17::seam::AnswerMessageBoxes({IDYES});
    EXPECT_EQ(MessageBoxA(nullptr, "one", "A", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "two", "B", MB_YESNO | MB_ICONEXCLAMATION), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "three", "C", MB_ICONSTOP), IDOK);
    const auto& shown = kv17::seam::MessageBoxesShown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].text, "two");
    EXPECT_EQ(shown[1].caption, "B");
    EXPECT_EQ(shown[1].flags, (unsigned)(MB_YESNO | MB_ICONEXCLAMATION));
    kv17::seam::Reset();
}

}  // namespace
