// How far a long capture has come.
#pragma once

#include <chrono>

// On a terminal, a one-line bar on stderr, redrawn in place a few times a
// second: "[#######       ]  4000/11013 frames  36%  0:41 left". Elsewhere
// (a pipe, a log file) nothing: the caller prints one summary at the end.
class Progress {
public:
    explicit Progress(bool terminal);
    // `done` frames of `total`.
    void Update(int done, int total);
    // Removes the bar, so that the next line starts on a clean line.
    void Clear();
    double Seconds() const;  // since the start

private:
    using Clock = std::chrono::steady_clock;
    bool terminal_;
    bool drawn_ = false;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDrawn_;
    // The time left is reckoned from the first update on, past start-up.
    Clock::time_point firstUpdate_;
    int firstDone_ = -1;
};
