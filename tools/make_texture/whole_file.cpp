#include "whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

bool ReadWholeFile(const std::string& path, size_t mostBytes, std::vector<uint8_t>* bytes,
                   std::string* error) {
    // O_NONBLOCK: opening a named pipe would otherwise wait for a writer.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = std::strerror(errno);
        return false;
    }
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
