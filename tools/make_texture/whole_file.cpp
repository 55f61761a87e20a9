#include "whole_file.h"

#include "regular_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

bool ReadWholeFile(const std::string& path, uint64_t mostBytes, std::vector<uint8_t>* bytes,
                   std::string* error) {
    const int fd = OpenRegularFile(path.c_str());
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
    if (info.st_size == 0) return fail("the file is empty");
    if (uint64_t(info.st_size) > mostBytes)
        return fail("the file is larger than " + std::to_string(mostBytes >> 20) + " MiB");
    // As large as fstat says: a file that shrinks meanwhile is read as it
    // ends, one that grows is refused.
    bytes->resize(size_t(info.st_size));
    size_t done = 0;
    while (done < bytes->size()) {
        const ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(std::strerror(errno));
        if (got == 0) break;
        done += size_t(got);
    }
    uint8_t more;
    if (done == bytes->size() && read(fd, &more, 1) > 0) return fail("the file grew while read");
    close(fd);
    bytes->resize(done);
    if (done == 0) {
        *error = "the file is empty";
        return false;
    }
    return true;
}
