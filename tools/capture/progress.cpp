#include "progress.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kBarWidth = 30;
// Redrawing every frame would cost more than the frame at small sizes.
constexpr std::chrono::milliseconds kRedrawEvery{200};

}  // namespace

Progress::Progress(bool terminal) : terminal_(terminal) {}

double Progress::Seconds() const {
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

void Progress::Update(int done, int total) {
    if (!terminal_ || total <= 0) return;
    Clock::time_point now = Clock::now();
    if (firstDone_ < 0) {
        firstUpdate_ = now;
        firstDone_ = done;
    }
    if (drawn_ && now - lastDrawn_ < kRedrawEvery && done < total) return;
    lastDrawn_ = now;
    drawn_ = true;
    const double part = done >= total ? 1.0 : (double)done / total;
    std::string bar(kBarWidth, ' ');
    bar.replace(0, (size_t)(part * kBarWidth), (size_t)(part * kBarWidth), '#');
    char left[32] = "";
    if (done > firstDone_) {
        const double elapsed = std::chrono::duration<double>(now - firstUpdate_).count();
        int seconds = (int)(elapsed * (total - done) / (done - firstDone_) + 0.5);
        snprintf(left, sizeof left, "  %d:%02d left", seconds / 60, seconds % 60);
    }
    fprintf(stderr, "\r[%s] %6d/%d frames %3d%%%s\033[K", bar.c_str(), done, total,
            (int)(part * 100), left);
    fflush(stderr);
}

void Progress::Clear() {
    if (!drawn_) return;
    fprintf(stderr, "\r\033[K");
    fflush(stderr);
    drawn_ = false;
}
