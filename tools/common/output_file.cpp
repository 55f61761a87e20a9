#include "output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// The temporary files open now, for the signal handler. A handler may run
// on any thread while another unregisters a name: whichever of the two
// flags below is set first tells the other (sequentially consistent
// atomics), so a name is freed only when no handler can be reading it.
constexpr int kSlots = 16;
std::atomic<char*> temporaryNames[kSlots];
std::atomic<bool> ending{false};
static_assert(std::atomic<char*>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "read from a signal handler");

void RemoveTemporaryFilesAndEnd(int signal) {
    ending.store(true);
    for (std::atomic<char*>& slot : temporaryNames) {
        const char* name = slot.load();
        if (name != nullptr) unlink(name);
    }
    // SA_RESETHAND has put the default action back; the signal, blocked
    // while this runs, takes it on return (a fault repeats and does too).
    raise(signal);
}

// Every signal whose default action ends the process, where that default
// is still in place: a program's own handler (kv17-capture finishes a
// video on Ctrl-C) or an ignored signal (`trap '' XFSZ`) is left alone.
void CatchEndingSignals() {
    static bool caught = false;
    if (caught) return;
    caught = true;
    const int fixed[] = {SIGHUP,  SIGINT,    SIGQUIT, SIGILL,    SIGTRAP, SIGABRT, SIGBUS,  SIGFPE,
                         SIGUSR1, SIGSEGV,   SIGUSR2, SIGPIPE,   SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ,
                         SIGSYS,  SIGVTALRM, SIGPROF, SIGSTKFLT, SIGPOLL, SIGPWR};
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryFilesAndEnd;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    auto catchIfDefault = [&action](int signal) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            sigaction(signal, &action, nullptr);
    };
    for (int signal : fixed) catchIfDefault(signal);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) catchIfDefault(signal);
}

int Register(const std::string& name) {
    char* copy = new char[name.size() + 1];
    std::memcpy(copy, name.c_str(), name.size() + 1);
    for (int slot = 0; slot < kSlots; ++slot) {
        char* empty = nullptr;
        if (temporaryNames[slot].compare_exchange_strong(empty, copy)) return slot;
    }
    delete[] copy;  // more files at once than any tool writes: unguarded
    return -1;
}

void Unregister(int slot) {
    if (slot < 0) return;
    char* name = temporaryNames[slot].exchange(nullptr);
    if (!ending.load()) delete[] name;
}

}  // namespace

OutputFile::~OutputFile() {
    if (fd_ >= 0) close(fd_);
    if (!temporary_.empty()) unlink(temporary_.c_str());
    Unregister(slot_);
}

bool OutputFile::Fail() {
    if (error_.empty()) error_ = path_ + ": " + std::strerror(errno);
    return false;
}

bool OutputFile::Open(const std::string& path) {
    path_ = path;
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // Hidden, and unlike any name the tools write, so a crash leaves
    // nothing that looks finished.
    std::string pattern = folder + "." + name + ".XXXXXX";
    CatchEndingSignals();
    // The signals wait while the name is made and registered, so that
    // none falls between the two.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);
    fd_ = mkostemp(pattern.data(), O_CLOEXEC);
    const int error = errno;
    if (fd_ >= 0) {
        temporary_ = pattern;
        slot_ = Register(temporary_);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    if (fd_ < 0) return Fail();
    // mkstemp makes the file private; give it the mode a plain create would.
    const mode_t mask = umask(0);
    umask(mask);
    if (fchmod(fd_, 0666 & ~mask) != 0) return Fail();
    return true;
}

bool OutputFile::Write(const void* bytes, size_t count) {
    if (fd_ < 0) return false;
    const auto* next = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t written = write(fd_, next, count);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return Fail();
        next += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

bool OutputFile::Commit() {
    if (fd_ < 0 || !error_.empty()) return false;
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) return Fail();
    if (rename(temporary_.c_str(), path_.c_str()) != 0) return Fail();
    temporary_.clear();
    Unregister(slot_);
    slot_ = -1;
    return true;
}

std::string OutputNameMisuse(const std::string& name, const std::string& extension) {
    if (name.empty()) return "the name is empty";
    if (name.back() == '/') return name + " names a folder, not a file";
    // The extension is what follows the last dot of the file's own name; a
    // name without one (or with only a leading dot) claims no format.
    const size_t nameStart = name.rfind('/') == std::string::npos ? 0 : name.rfind('/') + 1;
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot <= nameStart) return "";
    std::string ending = name.substr(dot);
    for (char& c : ending) c = (char)std::tolower((unsigned char)c);
    if (ending == extension) return "";
    std::string format = extension.substr(1);
    for (char& c : format) c = (char)std::toupper((unsigned char)c);
    return name + ": what is written is " + format + ", so the name must end in " + extension;
}

bool CheckOutputFolder(const std::string& name, std::string* error) {
    const size_t slash = name.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : name.substr(0, slash + 1);
    struct stat info;
    const char* reason = nullptr;
    if (stat(folder.c_str(), &info) != 0)
        reason = std::strerror(errno);
    else if (!S_ISDIR(info.st_mode))
        reason = std::strerror(ENOTDIR);
    else if (stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        reason = std::strerror(EISDIR);
    if (reason == nullptr) return true;
    *error = name + ": " + reason;
    return false;
}
