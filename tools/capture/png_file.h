// Writing a captured frame as a PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `rgb` holds `height` rows of `width` RGB pixels, bottom row first (as GL
// reads them); the file gets them top row first. False when the file could
// not be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
