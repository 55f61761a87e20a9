// Reading a whole input file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Refuses what is not a regular file (without waiting on a pipe), an empty
// file and one over `mostBytes`, before reading it. On failure, false and
// the reason in *error.
bool ReadWholeFile(const std::string& path, uint64_t mostBytes, std::vector<uint8_t>* bytes,
                   std::string* error);
