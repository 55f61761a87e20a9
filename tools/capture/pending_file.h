// A file that shows up under its name only once it is complete.
#pragma once

#include <cstddef>
#include <string>

// Written under a temporary name in the same folder (".NAME.XXXXXX"), which
// Commit renames to the real one; until then, and whenever anything fails,
// the temporary is removed again. Error texts name the real path and the
// reason: "could not write shots/frame-00001.png: No space left on device".
class PendingFile {
public:
    explicit PendingFile(std::string path);
    ~PendingFile();  // removes the temporary unless committed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates the temporary, open for Write, with the permissions a new
    // file gets from the umask.
    bool Create(std::string* error);
    bool Write(const void* data, size_t size, std::string* error);
    // Closes the descriptor, checking the close too; for a writer that
    // opens temporaryPath() itself.
    bool Close(std::string* error);
    // Closes, then renames the temporary to the real name.
    bool Commit(std::string* error);
    // Removes the temporary now.
    void Discard();

    const std::string& path() const { return path_; }
    const std::string& temporaryPath() const { return temporary_; }

private:
    bool Fail(const char* doing, int errorNumber, std::string* error);

    std::string path_;
    std::string temporary_;  // empty when there is none
    int fd_ = -1;
};
