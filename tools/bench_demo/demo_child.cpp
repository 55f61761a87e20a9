// The demo itself as a benchmark subject: the real DemoMain, the start
// question answered No. Prints the wall-clock time of its first presented
// frame (ns since the epoch), presents FRAMES frames and ends with Esc.
#include "demo_main.h"
#include "demo_state.h"
#include "test_seam.h"

#include <GL/gl.h>

#include "whole_number.h"

#include <cstdio>
#include <ctime>

int main(int argc, char** argv) {
    int frames = 1;
    if (argc > 2 || (argc == 2 && !ParseWholeNumber(argv[1], 1, 1000000, &frames))) {
        fputs("usage: kv17-bench-demo-child [FRAMES]\n", stderr);
        return 2;
    }
    int swaps = 0;
    kv17::seam::AnswerMessageBoxes({IDNO});
    kv17::seam::OnSwapBuffers([&](HDC) {
        if (++swaps == 1) {
            glFinish();
            timespec now;
            clock_gettime(CLOCK_REALTIME, &now);
            printf("%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
            fflush(stdout);
        }
        if (swaps == frames) kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
    });
    return DemoMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW);
}
