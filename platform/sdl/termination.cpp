// Termination signals. SIGINT, SIGTERM and SIGHUP (the terminal closed) ask
// the window to close, as the close box does, so the program goes through
// its normal teardown and restores the display mode.
//
// A message box cannot wait for that: it blocks the thread that would act
// on the request. So a signal that comes while a box is up, or before one
// would be shown, ends the program at once: the box goes, the display mode
// is restored, and the process ends by that signal. The box itself runs in
// a child process (SDL forks one under X11; on Wayland it runs zenity); the
// child is tied to this process so that it dies with it, however this
// process ends.
//
// A frame waiting for its time to be shown (SleepUntil) is woken by the
// signal too, whichever thread the signal interrupts.
#include "sdl_internal.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

namespace {

constexpr int kTerminationSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Shared with the box's child process, which cannot see this process's
// memory once forked.
struct BoxWatch {
    std::atomic<pid_t> child;
    std::atomic<int> ending;
};
static_assert(std::atomic<pid_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "used from a signal handler and across processes");

struct TerminationState {
    volatile sig_atomic_t pendingSignal = 0;
    BoxWatch* watch = nullptr;   // in a page shared with the box's child
    pid_t boxOwner = 0;          // nonzero while a box is up
    bool caught = false;         // the handlers are installed
    int wakePipe[2] = {-1, -1};  // the handler writes a byte: SleepUntil ends
} termination;

void OnTerminationSignal(int signal) {
    termination.pendingSignal = signal;
    const int savedErrno = errno;
    const ssize_t written = write(termination.wakePipe[1], "", 1);
    (void)written;  // a full pipe already wakes the sleeper
    errno = savedErrno;
    if (termination.watch == nullptr) return;
    // Whichever of this and the child's own check comes second sees the
    // other: either the child is killed here or it ends itself.
    termination.watch->ending.store(1);
    const pid_t child = termination.watch->child.load();
    if (child > 0) kill(child, SIGKILL);
}

// Runs in every child forked while a box is up, before it does anything.
void TieChildToBoxOwner() {
    if (termination.boxOwner == 0) return;
    for (int signal : kTerminationSignals) ::signal(signal, SIG_DFL);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != termination.boxOwner) _exit(1);  // the owner is already gone
    termination.watch->child.store(getpid());
    if (termination.watch->ending.load() != 0) _exit(1);
}

[[noreturn]] void EndBySignal(int signal) {
    SDL_Quit();  // destroys the windows, which restores the display mode
    ::signal(signal, SIG_DFL);
    raise(signal);
    _exit(128 + signal);
}

void DrainWakePipe() {
    char bytes[64];
    while (read(termination.wakePipe[0], bytes, sizeof bytes) > 0) {
    }
}

}  // namespace

namespace kv17::platform {

void CatchTerminationSignals() {
    if (termination.caught) return;
    termination.caught = true;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (pipe2(termination.wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        termination.wakePipe[0] = termination.wakePipe[1] = -1;
    void* page =
        mmap(nullptr, sizeof(BoxWatch), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (page != MAP_FAILED) {
        termination.watch = new (page) BoxWatch{};
        pthread_atfork(nullptr, nullptr, TieChildToBoxOwner);
    }
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int signal : kTerminationSignals) sigaction(signal, &action, nullptr);
}

int TakeTerminationSignal() {
    const int signal = termination.pendingSignal;
    termination.pendingSignal = 0;
    return signal;
}

void SleepUntil(std::chrono::steady_clock::time_point deadline) {
    pollfd wake = {termination.wakePipe[0], POLLIN, 0};
    while (termination.pendingSignal == 0) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= left.zero()) return;
        const auto seconds = std::chrono::floor<std::chrono::seconds>(left);
        const auto nanoseconds =
            std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds);
        const timespec timeout = {(time_t)seconds.count(), (long)nanoseconds.count()};
        // Woken by a signal handled on this thread (EINTR) or on another
        // (the pipe); either way the loop looks at the flag again.
        if (ppoll(&wake, 1, &timeout, nullptr) > 0) DrainWakePipe();
    }
}

void BeginModalBox() {
    CatchTerminationSignals();
    if (termination.watch != nullptr) {
        termination.watch->child.store(0);
        termination.watch->ending.store(0);
        termination.boxOwner = getpid();
    }
    // Checked after the reset: a signal from here on reaches the child.
    if (termination.pendingSignal != 0) EndBySignal(termination.pendingSignal);
}

void EndModalBox() {
    termination.boxOwner = 0;
    if (termination.watch != nullptr) termination.watch->child.store(0);
    if (termination.pendingSignal != 0) EndBySignal(termination.pendingSignal);
}

}  // namespace kv17::platform
