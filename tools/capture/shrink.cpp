#include "shrink.h"

#include <cstddef>

std::vector<uint8_t> Shrink(const std::vector<uint8_t>& pixels, int width, int height, int factor) {
    const int outWidth = width / factor, outHeight = height / factor;
    std::vector<uint8_t> out((size_t)outWidth * outHeight * 3);
    for (int y = 0; y < outHeight; ++y) {
        for (int x = 0; x < outWidth; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                int sum = 0;
                for (int dy = 0; dy < factor; ++dy)
                    for (int dx = 0; dx < factor; ++dx)
                        sum += pixels[((size_t)(y * factor + dy) * width + x * factor + dx) * 3 +
                                      channel];
                out[((size_t)y * outWidth + x) * 3 + channel] =
                    (uint8_t)((sum + factor * factor / 2) / (factor * factor));
            }
        }
    }
    return out;
}
