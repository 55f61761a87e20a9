// An output file that is either written completely or not at all: the bytes
// go to a temporary file in the same folder, which replaces the named file
// only once every write and the close have succeeded. A signal that ends the
// process (any catchable one left at its default action when the first file
// is opened) removes the temporary files first.
#pragma once

#include <cstddef>
#include <string>

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();  // removes the temporary file unless committed

    // False, with the reason in Error(), when no temporary file can be made
    // beside `path`.
    bool Open(const std::string& path);
    bool Write(const void* bytes, size_t count);
    // Closes the temporary file and renames it to the path given to Open.
    bool Commit();

    // "PATH: reason" for the first failure; PATH is the name asked for.
    const std::string& Error() const { return error_; }
    // The temporary file's name, for a writer that opens the file itself
    // (FFmpeg's muxers); Commit then renames what it wrote.
    const std::string& TemporaryPath() const { return temporary_; }

private:
    bool Fail();

    std::string path_;
    std::string temporary_;
    int fd_ = -1;
    int slot_ = -1;  // where the temporary name waits for a signal
    std::string error_;
};

// What is wrong with `name` as an output file of the kind `extension`
// (".bmp"): empty, a folder's name (ending in '/'), or an extension other
// than that one, in any case; "" when nothing is (a name without an
// extension claims no format). Misuse: the tools exit with 2.
std::string OutputNameMisuse(const std::string& name, const std::string& extension);

// Checks before the work that `name` can become a file: its folder exists
// and `name` is not a folder. Else false, with "NAME: reason" in *error.
bool CheckOutputFolder(const std::string& name, std::string* error);
