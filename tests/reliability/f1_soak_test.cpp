// Two hundred F1 toggles in one process: every rebuild releases what the
// last one built, and the animation runs on across all of them.
#include "demo_fixture.h"
#include "demo_main.h"
#include "outline_font.h"

#include <GL/gl.h>
#include <malloc.h>

#include <filesystem>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime (GCC ships no header for it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

size_t HeapInUse() {
    glFinish();  // frames still queued in the rasterizer are not a leak
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

size_t OpenFileDescriptors() {
    auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return (size_t)std::distance(begin(entries), end(entries));
}

struct Snapshot {
    size_t heap;
    size_t descriptors;
    int windows;
    int contexts;
    int fonts;
    GLuint fontBase;
    bool fontListsLive;
};

Snapshot Take() {
    return {HeapInUse(),
            OpenFileDescriptors(),
            kv17::seam::LiveWindows(),
            kv17::seam::LiveContexts(),
            kv17::seam::LiveFonts(),
            fontBase,
            fontBase != 0 && glIsList(fontBase + 'A') == GL_TRUE};
}

class F1SoakTest : public DemoTest {};

TEST_F(F1SoakTest, TwoHundredTogglesLeakNothingAndKeepTheAnimation) {
    constexpr int kToggles = 200;
    constexpr int kSwapsPerToggle = 3;
    constexpr int kWarmUp = 50;  // the driver's caches settle over the first rebuilds
    kv17::seam::OfferDisplayMode(640, 480, 16);
    kv17::seam::AnswerMessageBoxes({IDNO});
    // Past the end of the line, so what the rasterizer caches does not
    // change with the glyphs in view.
    scrollOffset = 1000.0f;

    int swaps = 0;
    int startFrames = frameCount;
    float startScroll = scrollOffset;
    std::vector<Snapshot> snapshots;
    kv17::seam::OnSwapBuffers([&](HDC) {
        ++swaps;
        if (swaps % kSwapsPerToggle != 0) return;
        int toggles = swaps / kSwapsPerToggle;
        if (toggles == kWarmUp || toggles == kToggles) snapshots.push_back(Take());
        // Pressed and not released: a release in the same drain of the queue
        // would hide the press, and the toggle clears the F1 entry itself.
        kv17::seam::PostKey(mainWindow, toggles < kToggles ? VK_F1 : VK_ESCAPE, true);
    });

    EXPECT_EQ(DemoMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW), 0);

    ASSERT_EQ(snapshots.size(), 2u);
    const Snapshot& early = snapshots[0];
    const Snapshot& late = snapshots[1];
    EXPECT_EQ(late.windows, 1);
    EXPECT_EQ(late.contexts, 1);
    EXPECT_EQ(late.fonts, early.fonts);
    EXPECT_LE(late.fonts, 1);
    EXPECT_EQ(late.descriptors, early.descriptors);
    // A fresh context hands out the same names again: nothing piles up.
    EXPECT_EQ(late.fontBase, early.fontBase);
    EXPECT_TRUE(late.fontListsLive);
    // Allocator noise only: 150 rebuilds at even 2 KiB each would show.
    EXPECT_LT((long)late.heap - (long)early.heap, 256 * 1024L)
        << "heap grew from " << early.heap << " to " << late.heap;

    // The animation ran on across every rebuild: one frame per pass, plus the
    // frame Esc leaves unpresented.
    EXPECT_EQ(frameCount - startFrames, swaps + 1);
    EXPECT_GT(scrollOffset, startScroll + 0.05f * (float)(swaps - 1));
    EXPECT_EQ(kv17::seam::LiveWindows(), 0);
    EXPECT_EQ(kv17::seam::LiveContexts(), 0);
    EXPECT_EQ(kv17::seam::CursorCount(), 0);
}

}  // namespace
