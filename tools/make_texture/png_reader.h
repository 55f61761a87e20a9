// PNG pictures, read with libpng a row at a time.
#pragma once

#include "rgb_image.h"

#include <cstdint>
#include <string>
#include <vector>

bool IsPng(const std::vector<uint8_t>& bytes);

// The picture at 8 bits per channel, transparent parts black; the memory it
// takes is the image's and one row's. Null, with the reason in *error, for
// a damaged file, one whose header promises more pixels than its data can
// hold, one larger than PictureSizeFits allows, or when memory runs out.
RgbImage* DecodePng(const std::vector<uint8_t>& bytes, std::string* error);
