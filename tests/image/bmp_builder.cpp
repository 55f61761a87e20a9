#include "bmp_builder.h"

namespace {

void Put16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(Bytes& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

Bytes BuildBmp(const BmpFile& file) {
    const bool core = file.form == HeaderForm::Core;
    Bytes dib;
    Put32(dib, file.headerSize.value_or(core ? 12 : 40));
    if (core) {
        Put16(dib, static_cast<uint32_t>(file.width));
        Put16(dib, static_cast<uint32_t>(file.height));
        Put16(dib, file.planes);
        Put16(dib, file.bitCount);
    } else {
        Put32(dib, static_cast<uint32_t>(file.width));
        Put32(dib, static_cast<uint32_t>(file.height));
        Put16(dib, file.planes);
        Put16(dib, file.bitCount);
        Put32(dib, file.compression);
        Put32(dib, file.sizeImage);
        Put32(dib, 2835);  // 72 dpi, never read
        Put32(dib, 2835);
        Put32(dib, file.colorsUsed);
        Put32(dib, 0);
    }
    for (const BgrEntry& entry : file.colorTable) {
        dib.insert(dib.end(), {entry.blue, entry.green, entry.red});
        if (!core) dib.push_back(0xA5);  // the reserved byte, never read
    }
    dib.insert(dib.end(), file.gap, 0xEE);

    Bytes out;
    if (file.fileHeader) {
        const uint32_t offBits = 14 + static_cast<uint32_t>(dib.size());
        out = {'B', 'M'};
        Put32(out, offBits + static_cast<uint32_t>(file.pixels.size()));
        Put32(out, 0);
        Put32(out, file.offBits.value_or(offBits));
    }
    out.insert(out.end(), dib.begin(), dib.end());
    out.insert(out.end(), file.pixels.begin(), file.pixels.end());
    return out;
}

std::vector<BgrEntry> TestColorTable(int entries) {
    std::vector<BgrEntry> table;
    for (int i = 0; i < entries; ++i) {
        table.push_back({.blue = static_cast<uint8_t>(i),
                         .green = static_cast<uint8_t>(i ^ 0x80),
                         .red = static_cast<uint8_t>(255 - i)});
    }
    return table;
}

Bytes TestColors(const std::vector<int>& indices) {
    Bytes rgb;
    for (int index : indices) {
        if (index < 0) {
            rgb.insert(rgb.end(), {0, 0, 0});
        } else {
            rgb.insert(rgb.end(),
                       {static_cast<uint8_t>(255 - index), static_cast<uint8_t>(index ^ 0x80),
                        static_cast<uint8_t>(index)});
        }
    }
    return rgb;
}
