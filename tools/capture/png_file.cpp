#include "png_file.h"

#include <cstring>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    const size_t rowBytes = (size_t)width * 3;
    std::vector<uint8_t> topDown(rgb.size());
    for (int row = 0; row < height; ++row)
        memcpy(&topDown[row * rowBytes], &rgb[(height - 1 - row) * rowBytes], rowBytes);
    return stbi_write_png(path.c_str(), width, height, 3, topDown.data(), (int)rowBytes) != 0;
}
