#include "texture_fitting.h"

#include "demo_picture.h"

#include <algorithm>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb/stb_image_resize.h>

namespace {

// The width x height part of `source` from (left, bottom), resized into a
// new image of outWidth x outHeight with the colours mixed as light mixes
// (sRGB-aware), so edges keep their brightness. Rows run the same way in
// both, bottom first.
RgbImage* Resize(const RgbImage& source, int left, int bottom, int width, int height, int outWidth,
                 int outHeight) {
    RgbImage* out = NewRgbImage(outWidth, outHeight);
    if (out == nullptr) return nullptr;
    const uint8_t* first = &source.pixels[((size_t)bottom * source.width + left) * 3];
    if (stbir_resize_uint8_srgb(first, width, height, source.width * 3, out->pixels, outWidth,
                                outHeight, 0, 3, STBIR_ALPHA_CHANNEL_NONE, 0))
        return out;
    FreeRgbImage(out);
    return nullptr;
}

}  // namespace

int TextureSide(int side) {
    int power = kLeastTextureSide;
    while (power < kMostTextureSide && side - power >= power * 2 - side) power *= 2;
    return power;
}

RgbImage* FitToTexture(const RgbImage& picture) {
    RgbImage* texture = Resize(picture, 0, 0, picture.width, picture.height,
                               TextureSide(picture.width), TextureSide(picture.height));
    if (texture == nullptr) return nullptr;
    // The pyramids and the greeting line are drawn textured at a corner's
    // texture coordinate, so they take the colour of the four corner texels
    // (modulated): white keeps their own colours. A frame rather than four
    // lone white texels, since on the cube it reads as a deliberate edge,
    // as the demo's own picture has one.
    const int frame = std::max(1, std::min(texture->width, texture->height) / 128);
    for (int y = 0; y < texture->height; ++y) {
        for (int x = 0; x < texture->width; ++x) {
            const int edge = std::min({x, y, texture->width - 1 - x, texture->height - 1 - y});
            if (edge < frame)
                std::fill_n(&texture->pixels[((size_t)y * texture->width + x) * 3], 3, 255);
        }
    }
    return texture;
}

RgbImage* MakeIcon(int size) {
    // The frame is there for the demo's corner texels, not for a menu.
    const int inner = kDemoPictureSize - 2 * kDemoPictureFrame;
    RgbImage* picture = DrawDemoPicture();
    if (picture == nullptr) return nullptr;
    RgbImage* icon =
        Resize(*picture, kDemoPictureFrame, kDemoPictureFrame, inner, inner, size, size);
    FreeRgbImage(picture);
    return icon;
}
