// Decoding speed of a 4096 x 4096 picture stored three ways (24-bit, 8-bit
// indexed, RLE8), against stb_image on the same bytes and against a plain
// copy of the 24-bit file's pixel bytes. Each benchmark also reports the
// peak heap of one decode next to the size of the output it must hold.
#include "bitmap_loader.h"
#include "bmp_writer.h"
#include "dib_decoder.h"
#include "dib_layout.h"
#include "dib_palette.h"
#include "dib_rle.h"
#include "dib_rows.h"
#include "heap_counter.h"
#include "output_file.h"

#include <benchmark/benchmark.h>
#include <stb/stb_image.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kSide = 4096;
constexpr size_t kOutputBytes = size_t{kSide} * kSide * 3;
constexpr size_t kInfoFileHeaderBytes = 14 + 40;

enum class Storage { TrueColor, Indexed, RunLength };

// A texture-like mix, a third each: flat tiles (long runs), a fine gradient
// (runs of 4) and noise (no runs at all).
uint8_t PictureIndex(uint32_t x, uint32_t y) {
    switch (y / 512 % 3) {
    case 0:
        return static_cast<uint8_t>((x / 64) * 7 + (y / 64) * 13);
    case 1:
        return static_cast<uint8_t>(x / 4 + y);
    default: {
        uint32_t h = x * 0x9E3779B1u ^ y * 0x85EBCA77u;
        h ^= h >> 15;
        return static_cast<uint8_t>(h * 0x2C1B3C6Du >> 24);
    }
    }
}

std::array<uint8_t, 3> PaletteBgr(uint8_t index) {
    return {static_cast<uint8_t>(index * 3), static_cast<uint8_t>(255 - index),
            static_cast<uint8_t>(index ^ 0x5A)};
}

Bytes Headers(uint16_t bitCount, uint32_t compression, size_t pixelBytes) {
    const uint32_t colors = bitCount == 8 ? 256 : 0;
    Bytes out = BitmapHeaders(kSide, kSide, bitCount, compression, colors,
                              static_cast<uint32_t>(pixelBytes));
    for (uint32_t i = 0; i < colors; ++i) {
        const auto bgr = PaletteBgr(static_cast<uint8_t>(i));
        out.insert(out.end(), {bgr[0], bgr[1], bgr[2], 0});
    }
    return out;
}

// Runs of 3 or more as runs; stretches without such runs as absolute runs.
void EncodeRow(const uint8_t* row, uint32_t width, Bytes& out) {
    uint32_t x = 0;
    auto runAt = [&](uint32_t at) {
        uint32_t length = 1;
        while (at + length < width && length < 255 && row[at + length] == row[at]) ++length;
        return length;
    };
    while (x < width) {
        const uint32_t run = runAt(x);
        if (run >= 3) {
            out.insert(out.end(), {static_cast<uint8_t>(run), row[x]});
            x += run;
            continue;
        }
        uint32_t end = x;
        while (end < width && end - x < 255 && runAt(end) < 3) end += runAt(end);
        end = std::min(end, x + 255);
        const uint32_t literal = end - x;
        if (literal < 3) {
            for (; x < end; ++x) out.insert(out.end(), {1, row[x]});
            continue;
        }
        out.insert(out.end(), {0, static_cast<uint8_t>(literal)});
        out.insert(out.end(), row + x, row + end);
        if (literal % 2 != 0) out.push_back(0);
        x = end;
    }
}

Bytes MakeFile(Storage storage) {
    std::vector<uint8_t> indices(size_t{kSide} * kSide);
    for (uint32_t y = 0; y < kSide; ++y) {
        for (uint32_t x = 0; x < kSide; ++x) indices[size_t{y} * kSide + x] = PictureIndex(x, y);
    }
    Bytes pixels;
    if (storage == Storage::TrueColor) {
        pixels.reserve(kOutputBytes);
        for (uint8_t index : indices) {
            const auto bgr = PaletteBgr(index);
            pixels.insert(pixels.end(), bgr.begin(), bgr.end());
        }
    } else if (storage == Storage::Indexed) {
        pixels = indices;
    } else {
        for (uint32_t y = 0; y < kSide; ++y) {
            EncodeRow(&indices[size_t{y} * kSide], kSide, pixels);
            pixels.insert(pixels.end(), {0, static_cast<uint8_t>(y + 1 == kSide ? 1 : 0)});
        }
    }
    const uint16_t bitCount = storage == Storage::TrueColor ? 24 : 8;
    const uint32_t compression = storage == Storage::RunLength ? 1 : 0;
    Bytes file = Headers(bitCount, compression, pixels.size());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

const Bytes& File(Storage storage) {
    static const std::array<Bytes, 3> files = {
        MakeFile(Storage::TrueColor), MakeFile(Storage::Indexed), MakeFile(Storage::RunLength)};
    return files[static_cast<size_t>(storage)];
}

// One more decode outside the timed loop, to see its peak heap.
template <typename Decode>
void ReportPeakHeap(benchmark::State& state, Decode decode) {
    const size_t before = HeapBytesInUse();
    ResetHeapPeak();
    decode();
    state.counters["peak_heap_MiB"] = double(HeapPeakBytes() - before) / (1 << 20);
    state.counters["output_MiB"] = double(kOutputBytes) / (1 << 20);
    state.counters["file_MiB"] = double(File(Storage::TrueColor).size()) / (1 << 20);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kOutputBytes));
}

void DecodeWithKv17(const Bytes& file) {
    RgbImage* image = nullptr;
    if (DecodeDib(file.data(), file.size(), &image) != DibStatus::Loaded) std::abort();
    benchmark::DoNotOptimize(image->pixels);
    FreeRgbImage(image);
}

void DecodeWithStb(const Bytes& file) {
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels =
        stbi_load_from_memory(file.data(), int(file.size()), &width, &height, &channels, 3);
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
}

void Kv17Decode(benchmark::State& state, Storage storage) {
    const Bytes& file = File(storage);
    for (auto _ : state) DecodeWithKv17(file);
    ReportPeakHeap(state, [&] { DecodeWithKv17(file); });
    state.counters["file_MiB"] = double(file.size()) / (1 << 20);
}

void StbDecode(benchmark::State& state, Storage storage) {
    const Bytes& file = File(storage);
    int width = 0;
    int height = 0;
    int channels = 0;
    if (!stbi_info_from_memory(file.data(), int(file.size()), &width, &height, &channels)) {
        state.SkipWithError("stb_image does not decode this file");
        return;
    }
    for (auto _ : state) DecodeWithStb(file);
    ReportPeakHeap(state, [&] { DecodeWithStb(file); });
    state.counters["file_MiB"] = double(file.size()) / (1 << 20);
}

// The least any loader does: a buffer for the output and the bytes copied
// into it (the 24-bit rows of 4096 pixels have no padding).
void MemcpyFreshBuffer(benchmark::State& state) {
    const Bytes& file = File(Storage::TrueColor);
    const uint8_t* pixels = file.data() + kInfoFileHeaderBytes;
    auto copy = [&] {
        auto* out = static_cast<uint8_t*>(std::malloc(kOutputBytes));
        std::memcpy(out, pixels, kOutputBytes);
        benchmark::DoNotOptimize(out);
        std::free(out);
    };
    for (auto _ : state) copy();
    ReportPeakHeap(state, copy);
}

// The copy alone, into a buffer already in place.
void MemcpyWarmBuffer(benchmark::State& state) {
    const Bytes& file = File(Storage::TrueColor);
    const uint8_t* pixels = file.data() + kInfoFileHeaderBytes;
    std::vector<uint8_t> out(kOutputBytes);
    for (auto _ : state) {
        std::memcpy(out.data(), pixels, kOutputBytes);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kOutputBytes));
}

// The conversion loop alone, into an output buffer already in place: what
// the decoder adds to the cost of getting fresh memory from the system.
void Kv17ConvertOnly(benchmark::State& state, Storage storage) {
    const Bytes& file = File(storage);
    DibLayout layout;
    if (ReadDibLayout(file.data(), file.size(), &layout) != DibStatus::Loaded) std::abort();
    const DibPalette palette = ReadDibPalette(layout);
    std::vector<uint8_t> out(kOutputBytes);
    for (auto _ : state) {
        if (layout.compression == kBiRgb) {
            ConvertDibRows(layout, palette, out.data());
        } else if (DecodeDibRle(layout, palette, out.data()) != DibStatus::Loaded) {
            std::abort();
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kOutputBytes));
}

// The whole loader on a file in the page cache: open, map, decode, release.
void Kv17LoadFile(benchmark::State& state, Storage storage) {
    const std::string path = "kv17-bench-bmp-" + std::to_string(int(storage)) + ".bmp";
    const Bytes& file = File(storage);
    OutputFile out;
    if (!out.Open(path) || !out.Write(file.data(), file.size()) || !out.Commit()) {
        state.SkipWithError(("cannot write " + out.Error()).c_str());
        return;
    }
    auto load = [&] {
        RgbImage* image = LoadBitmapFile(path.c_str());
        if (image == nullptr) std::abort();
        FreeRgbImage(image);
    };
    for (auto _ : state) load();
    ReportPeakHeap(state, load);
    std::remove(path.c_str());
}

BENCHMARK_CAPTURE(Kv17Decode, 24bit, Storage::TrueColor)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StbDecode, 24bit, Storage::TrueColor)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Kv17Decode, 8bit, Storage::Indexed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StbDecode, 8bit, Storage::Indexed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Kv17Decode, rle8, Storage::RunLength)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StbDecode, rle8, Storage::RunLength)->Unit(benchmark::kMillisecond);
BENCHMARK(MemcpyFreshBuffer)->Unit(benchmark::kMillisecond);
BENCHMARK(MemcpyWarmBuffer)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Kv17ConvertOnly, 24bit, Storage::TrueColor)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Kv17ConvertOnly, 8bit, Storage::Indexed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Kv17ConvertOnly, rle8, Storage::RunLength)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Kv17LoadFile, 24bit, Storage::TrueColor)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
