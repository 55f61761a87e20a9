// Pictures from file bytes (PNG, JPEG, BMP) and the icon's PNG bytes.
#pragma once

#include "rgb_image.h"

#include <cstdint>
#include <string>
#include <vector>

// The largest picture taken, whatever its format: the demo's own bound for
// bitmaps, 32768 pixels a side and 1 GiB of 24-bit pixels (357 megapixels).
// False, with "WxH pixels: ..." in *error, for one larger.
bool PictureSizeFits(uint32_t width, uint32_t height, std::string* error);

// A PNG, JPEG or BMP file as an image at 8 bits per channel, transparent
// parts black, the colour of the scene behind the cube. A bitmap is read by
// the demo's own decoder, and also in the newer forms the demo refuses
// (dib_layout.h); it is refused with the demo's reason otherwise. Null,
// with the reason in *error, on failure.
RgbImage* DecodePicture(const std::vector<uint8_t>& bytes, std::string* error);

// A PNG file; false when memory runs out.
bool EncodePng(const RgbImage& image, std::vector<uint8_t>* bytes);
