#include "rgb_image.h"

#include "image_memory.h"

#include <cstdlib>

RgbImage* NewRgbImage(int32_t width, int32_t height) {
    auto* image = static_cast<RgbImage*>(AllocateImageMemory(sizeof(RgbImage)));
    if (image == nullptr) return nullptr;
    const size_t bytes = size_t(uint32_t(width)) * uint32_t(height) * 3;
    *image = RgbImage{width, height, static_cast<unsigned char*>(AllocateImageMemory(bytes))};
    if (image->pixels != nullptr) return image;
    std::free(image);
    return nullptr;
}

void FreeRgbImage(RgbImage* image) {
    if (image == nullptr) return;
    std::free(image->pixels);
    std::free(image);
}
