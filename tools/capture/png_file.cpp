#include "png_file.h"

#include "output_file.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& bgr,
              std::string* error) {
    const size_t rowBytes = (size_t)width * 3;
    std::vector<uint8_t> rgb(bgr.size());
    for (int row = 0; row < height; ++row) {
        const uint8_t* from = &bgr[(height - 1 - row) * rowBytes];
        uint8_t* to = &rgb[row * rowBytes];
        for (size_t i = 0; i < rowBytes; i += 3) {
            to[i] = from[i + 2];
            to[i + 1] = from[i + 1];
            to[i + 2] = from[i];
        }
    }
    // Encoded in memory: stb's own file writer does not check its writes.
    std::vector<uint8_t> png;
    if (!stbi_write_png_to_func(AppendBytes, &png, width, height, 3, rgb.data(), (int)rowBytes)) {
        *error = "could not encode " + path;
        return false;
    }
    OutputFile file;
    if (file.Open(path) && file.Write(png.data(), png.size()) && file.Commit()) return true;
    *error = "could not write " + file.Error();
    return false;
}
