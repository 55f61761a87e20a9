#include "texture_fitting.h"

#include "demo_picture.h"

#include <algorithm>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb/stb_image_resize.h>

namespace {

// The width x height part of `source` from (left, top), resized into `out`
// with the colours mixed as light mixes (sRGB-aware), so edges keep their
// brightness.
bool Resize(const Picture& source, int left, int top, int width, int height, Picture* out) {
    out->rgb.resize((size_t)out->width * out->height * 3);
    const uint8_t* first = &source.rgb[((size_t)top * source.width + left) * 3];
    return stbir_resize_uint8_srgb(first, width, height, source.width * 3, out->rgb.data(),
                                   out->width, out->height, 0, 3, STBIR_ALPHA_CHANNEL_NONE, 0) != 0;
}

}  // namespace

int TextureSide(int side) {
    int power = kLeastTextureSide;
    while (power < kMostTextureSide && side - power >= power * 2 - side) power *= 2;
    return power;
}

bool FitToTexture(const Picture& picture, Picture* texture) {
    texture->width = TextureSide(picture.width);
    texture->height = TextureSide(picture.height);
    if (!Resize(picture, 0, 0, picture.width, picture.height, texture)) return false;
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
                std::fill_n(&texture->rgb[((size_t)y * texture->width + x) * 3], 3, 255);
        }
    }
    return true;
}

bool MakeIcon(int size, Picture* icon) {
    // The frame is there for the demo's corner texels, not for a menu.
    const int inner = kDemoPictureSize - 2 * kDemoPictureFrame;
    icon->width = icon->height = size;
    return Resize(DrawDemoPicture(), kDemoPictureFrame, kDemoPictureFrame, inner, inner, icon);
}
