// Opening an input file on POSIX systems, shared by the platform's file
// mapping and the tools.
#pragma once

// Opens `path` read-only when it names a regular file, without waiting:
// opening a FIFO or a device for reading can block until some other process
// acts. The descriptor (close-on-exec), or -1 with errno set: EISDIR for a
// folder, ENODEV (what mmap(2) says of a file it cannot map) for anything
// else that is not a regular file.
int OpenRegularFile(const char* path);
