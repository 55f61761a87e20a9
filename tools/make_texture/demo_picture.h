// The demo's own picture, the one in Data/texture.bmp.
#pragma once

#include "picture.h"

constexpr int kDemoPictureSize = 256;

// How far the frame (white, a bevel, a dark line) reaches in from each edge.
constexpr int kDemoPictureFrame = 7;

// The same bytes on every machine.
Picture DrawDemoPicture();
