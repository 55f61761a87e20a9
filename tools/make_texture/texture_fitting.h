// Fitting any picture to the demo's texture, and the demo's picture to an
// icon.
#pragma once

#include "picture.h"

constexpr int kLeastTextureSide = 16;
constexpr int kMostTextureSide = 1024;

// The power of two nearest to `side` (halfway between two, the larger one),
// kept within kLeastTextureSide to kMostTextureSide.
int TextureSide(int side);

// `picture` resized to TextureSide of each of its sides, in a thin white
// frame. False when memory runs out.
bool FitToTexture(const Picture& picture, Picture* texture);

// The demo's picture without its frame, resized to size x size.
bool MakeIcon(int size, Picture* icon);
