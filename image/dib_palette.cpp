#include "dib_palette.h"

#include <algorithm>

DibPalette ReadDibPalette(const DibLayout& layout) {
    DibPalette palette{};
    // A colours-used value can exceed what the pixels can index; those extra
    // entries take up room in the file but never a colour.
    const uint32_t used = std::min<uint32_t>(layout.colorCount, palette.size());
    for (uint32_t i = 0; i < used; ++i) {
        const unsigned char* entry = layout.colorTable + i * layout.colorEntryBytes;
        palette[i] = RgbColor{.red = entry[2], .green = entry[1], .blue = entry[0]};
    }
    return palette;
}
