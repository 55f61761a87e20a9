#include "pending_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

PendingFile::PendingFile(std::string path) : path_(std::move(path)) {}

PendingFile::~PendingFile() { Discard(); }

bool PendingFile::Fail(const char* doing, int errorNumber, std::string* error) {
    *error = std::string("could not ") + doing + " " + path_ + ": " + strerror(errorNumber);
    Discard();
    return false;
}

bool PendingFile::Create(std::string* error) {
    std::filesystem::path real(path_);
    std::string name = ".";
    name += real.filename().string() + ".XXXXXX";
    std::string pattern = (real.parent_path() / name).string();
    fd_ = mkstemp(pattern.data());
    if (fd_ < 0) return Fail("create", errno, error);
    temporary_ = pattern;
    // mkstemp makes the file private (0600); the result is an ordinary
    // file, readable as the umask allows.
    mode_t mask = umask(0);
    umask(mask);
    if (fchmod(fd_, 0666 & ~mask) != 0) return Fail("create", errno, error);
    return true;
}

bool PendingFile::Write(const void* data, size_t size, std::string* error) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = write(fd_, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return Fail("write", errno, error);
        bytes += written;
        size -= (size_t)written;
    }
    return true;
}

bool PendingFile::Close(std::string* error) {
    if (fd_ < 0) return true;
    int fd = std::exchange(fd_, -1);
    // A delayed write error (NFS, a full disk on some file systems) shows
    // only here.
    if (close(fd) != 0) return Fail("write", errno, error);
    return true;
}

bool PendingFile::Commit(std::string* error) {
    if (!Close(error)) return false;
    if (rename(temporary_.c_str(), path_.c_str()) != 0) return Fail("write", errno, error);
    temporary_.clear();
    return true;
}

void PendingFile::Discard() {
    if (fd_ >= 0) close(std::exchange(fd_, -1));
    if (!temporary_.empty()) unlink(temporary_.c_str());
    temporary_.clear();
}
