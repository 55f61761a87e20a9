#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

OutputFile::~OutputFile() {
    if (fd_ >= 0) close(fd_);
    if (!temporary_.empty()) unlink(temporary_.c_str());
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
    fd_ = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) return Fail();
    temporary_ = pattern;
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
    return true;
}
