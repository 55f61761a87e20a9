// The demo's own picture, the one in Data/texture.bmp.
#pragma once

#include "rgb_image.h"

constexpr int kDemoPictureSize = 256;

// How far the frame (white, a bevel, a dark line) reaches in from each edge.
constexpr int kDemoPictureFrame = 7;

// The same bytes on every machine; null when memory runs out.
RgbImage* DrawDemoPicture();
