// Writing a captured frame as a PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `bgr` holds `height` rows of `width` BGR pixels, bottom row first (as GL
// reads them); the file gets them as RGB, top row first. The file appears only once
// it is completely written; false, with the path and the reason in *error,
// when it could not be.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& bgr,
              std::string* error);
