// Start-up time and peak memory of the demo against a bare SDL GL window
// program, in one run: each is started as a new process, alternately.
//
//   kv17-bench-startup [--runs N] [--frames N] [--headless]
//
// Start-up: from just before the process is spawned to its first frame drawn
// and about to be presented. Peak RSS: after --frames frames (default 600,
// so the greeting line is on screen).
#include "median.h"
#include "whole_number.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Sample {
    double startupMs;
    long peakKiB;
};

long long NowNs() {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

std::string Sibling(const char* name) {
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return name;
    self[length] = '\0';
    std::string path(self);
    return path.substr(0, path.rfind('/') + 1) + name;
}

// Runs PROGRAM FRAMES; false if it could not be run or failed.
bool Run(const std::string& program, int frames, Sample* sample) {
    int out[2];
    if (pipe(out) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string count = std::to_string(frames);
    char* argv[] = {(char*)program.c_str(), count.data(), nullptr};
    pid_t pid;
    long long start = NowNs();
    int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return false;
    }
    char line[64] = {0};
    FILE* stream = fdopen(out[0], "r");
    bool reported = fgets(line, sizeof line, stream) != nullptr;
    fclose(stream);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!reported || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    sample->startupMs = (double)(atoll(line) - start) / 1e6;
    sample->peakKiB = usage.ru_maxrss;
    return true;
}

constexpr char kUsage[] = "usage: kv17-bench-startup [--runs N] [--frames N] [--headless]\n";
constexpr int kMostRuns = 1000;
constexpr int kMostFrames = 100000;

int Misuse(const std::string& why) {
    fprintf(stderr, "kv17-bench-startup: %s\n%s", why.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 10;
    int frames = 600;
    for (int i = 1; i < argc; ++i) {
        const bool valued = !strcmp(argv[i], "--runs") || !strcmp(argv[i], "--frames");
        if (valued && i + 1 == argc) return Misuse(std::string(argv[i]) + " needs a value");
        if (!strcmp(argv[i], "--runs")) {
            if (!ParseWholeNumber(argv[++i], 1, kMostRuns, &runs))
                return Misuse("--runs takes 1 to 1000");
        } else if (!strcmp(argv[i], "--frames")) {
            if (!ParseWholeNumber(argv[++i], 1, kMostFrames, &frames))
                return Misuse("--frames takes 1 to 100000");
        } else if (!strcmp(argv[i], "--headless")) {
            setenv("SDL_VIDEODRIVER", "offscreen", 1);
        } else if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) {
            fputs(kUsage, stdout);
            return 0;
        } else {
            return Misuse("unknown argument '" + std::string(argv[i]) + "'");
        }
    }
    const std::string demo = Sibling("kv17-bench-demo-child");
    const std::string bare = Sibling("kv17-bare-gl");

    std::vector<double> demoStartup, bareStartup;
    std::vector<long> demoPeak, barePeak;
    for (int run = 0; run < runs; ++run) {
        Sample sample;
        if (!Run(demo, 1, &sample)) return fprintf(stderr, "demo failed\n"), 1;
        demoStartup.push_back(sample.startupMs);
        if (!Run(bare, 1, &sample)) return fprintf(stderr, "bare program failed\n"), 1;
        bareStartup.push_back(sample.startupMs);
    }
    for (int run = 0; run < std::max(3, runs / 3); ++run) {
        Sample sample;
        if (!Run(demo, frames, &sample)) return fprintf(stderr, "demo failed\n"), 1;
        demoPeak.push_back(sample.peakKiB);
        if (!Run(bare, frames, &sample)) return fprintf(stderr, "bare program failed\n"), 1;
        barePeak.push_back(sample.peakKiB);
    }

    double demoMs = Median(demoStartup), bareMs = Median(bareStartup);
    double demoKiB = Median(demoPeak), bareKiB = Median(barePeak);
    printf("start-up to first frame, median of %d: demo %.1f ms, bare SDL GL %.1f ms\n", runs,
           demoMs, bareMs);
    printf("peak RSS after %d frames, median: demo %.1f MiB, bare SDL GL %.1f MiB\n", frames,
           demoKiB / 1024.0, bareKiB / 1024.0);
    printf("peak RSS demo / bare = %.2f\n", demoKiB / bareKiB);
    printf("start-up demo / bare = %.2f\n", demoMs / bareMs);
    return 0;
}
