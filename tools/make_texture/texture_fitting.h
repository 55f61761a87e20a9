// Fitting any picture to the demo's texture, and the demo's picture to an
// icon.
#pragma once

#include "rgb_image.h"

constexpr int kLeastTextureSide = 16;
constexpr int kMostTextureSide = 1024;

// The power of two nearest to `side` (halfway between two, the larger one),
// kept within kLeastTextureSide to kMostTextureSide.
int TextureSide(int side);

// `picture` resized to TextureSide of each of its sides, in a thin white
// frame. Null when memory runs out.
RgbImage* FitToTexture(const RgbImage& picture);

// The demo's picture without its frame, resized to size x size; null when
// memory runs out.
RgbImage* MakeIcon(int size);
