// Reading a whole file, and writing one so that it appears complete or not
// at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Refuses what is not a regular file (without waiting on a pipe), an empty
// file and one over `mostBytes`. On failure, false and the reason in *error.
bool ReadWholeFile(const std::string& path, size_t mostBytes, std::vector<uint8_t>* bytes,
                   std::string* error);

// Writes to a temporary file beside `path`, checking every write and the
// close, and renames it to `path` only when complete; on failure it is
// removed, `path` is left as it was, and *error holds the reason.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);
