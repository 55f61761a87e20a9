#include "whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool Failed(std::string* error) {
    *error = std::strerror(errno);
    return false;
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return false;
        done += (size_t)written;
    }
    return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, size_t mostBytes, std::vector<uint8_t>* bytes,
                   std::string* error) {
    // O_NONBLOCK: opening a named pipe would otherwise wait for a writer.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Failed(error);
    auto fail = [&](const std::string& why) {
        *error = why;
        close(fd);
        return false;
    };
    struct stat info;
    if (fstat(fd, &info) != 0) return fail(std::strerror(errno));
    if (!S_ISREG(info.st_mode)) return fail("not a regular file");
    bytes->clear();
    uint8_t chunk[1 << 16];
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof(chunk));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(std::strerror(errno));
        if (got == 0) break;
        bytes->insert(bytes->end(), chunk, chunk + got);
        if (bytes->size() > mostBytes)
            return fail("the file is larger than " + std::to_string(mostBytes >> 20) + " MiB");
    }
    close(fd);
    if (bytes->empty()) {
        *error = "the file is empty";
        return false;
    }
    return true;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string* error) {
    const std::string temporary = path + "." + std::to_string(getpid()) + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return Failed(error);
    // The first failure's errno is the reason; the close still runs.
    bool ok = WriteAll(fd, bytes) && fsync(fd) == 0;
    if (!ok) Failed(error);
    if (close(fd) != 0 && ok) ok = Failed(error);
    if (ok && rename(temporary.c_str(), path.c_str()) != 0) ok = Failed(error);
    if (!ok) unlink(temporary.c_str());
    return ok;
}
