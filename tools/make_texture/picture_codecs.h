// Pictures to and from file bytes: the demo's bitmap form and PNG out; PNG,
// JPEG and BMP in.
#pragma once

#include "picture.h"

#include <string>

// A BMP file as the demo reads it: 24 bits per pixel, the 40-byte info
// header, rows bottom first.
std::vector<uint8_t> EncodeBitmap(const Picture& picture);

// A PNG file; false when memory runs out.
bool EncodePng(const Picture& picture, std::vector<uint8_t>* bytes);

// The largest picture DecodePicture takes: enough for any camera, and its
// decoded pixels still fit in a few hundred megabytes.
constexpr int kMostPictureSide = 16384;
constexpr long long kMostPicturePixels = 1LL << 26;

// A PNG, JPEG or BMP file (any of the BMP header versions) as a picture.
// Transparent parts turn black, the colour of the scene behind the cube.
// On failure, false and the reason in *error.
bool DecodePicture(const std::vector<uint8_t>& bytes, Picture* picture, std::string* error);
