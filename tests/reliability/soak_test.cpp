// Two hundred F1 toggles in one process: every rebuild releases what the last
// one built, and the animation runs on across all of them.
#include "demo_fixture.h"
#include "outline_font.h"
#include "scene_state.h"

#include <GL/gl.h>
#include <malloc.h>

#include <filesystem>
#include <tuple>

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();  // no header in GCC
#endif

namespace {

struct Snapshot {
    long heap;
    std::tuple<long, int, GLuint> held;  // descriptors, fonts, the font's first list name
};

Snapshot Take() {
    glFinish();  // frames still queued in the rasterizer are not a leak
#if defined(__SANITIZE_ADDRESS__)
    const long heap = (long)__sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    const long heap = (long)(info.uordblks + info.hblkhd);  // in the heap and mapped alone
#endif
    auto fds = std::filesystem::directory_iterator("/proc/self/fd");
    return {heap, {(long)std::distance(begin(fds), end(fds)), kv17::seam::LiveFonts(), fontBase}};
}

using SoakTest = DemoTest;

TEST_F(SoakTest, TwoHundredTogglesLeakNothingAndKeepTheAnimation) {
    constexpr int kToggles = 200, kWarmUp = 50;  // the driver's caches settle first
    kv17::seam::OfferDisplayMode(640, 480, 16);
    // Past the end of the line, so the rasterizer's caches do not change
    // with the glyphs in view.
    scrollOffset = 1000.0f;
    std::vector<Snapshot> snapshots;
    for (int toggle = 1; toggle <= kToggles; ++toggle) {
        At(toggle * 3, [&, toggle] {
            if (toggle == kWarmUp || toggle == kToggles) snapshots.push_back(Take());
            // Pressed, never released: the toggle clears the key itself.
            kv17::seam::PostKey(mainWindow, toggle < kToggles ? VK_F1 : VK_ESCAPE, true);
        });
    }
    EXPECT_EQ(RunDemo({IDNO}), 0);
    ASSERT_EQ(snapshots.size(), 2u);
    EXPECT_EQ(snapshots[1].held, snapshots[0].held);  // list names come back: none pile up
    // Allocator noise only: 150 rebuilds at even 2 KiB each would show.
    EXPECT_LT(snapshots[1].heap - snapshots[0].heap, 256 * 1024L);
    // One frame per presentation, plus the one Esc leaves unpresented.
    EXPECT_EQ(std::tuple(frameCount, kv17::seam::LiveWindows(), kv17::seam::CursorCount()),
              std::tuple(swaps_ + 1, 0, 0));
}

}  // namespace
