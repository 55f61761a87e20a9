#include "bitmap_loader.h"

#include "dib_decoder.h"
#include "win32_api.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

bool errorPopups = true;

namespace {

constexpr size_t kMessageBufferBytes = 256;

// No bitmap the decoder converts is larger: 1 GiB of output comes from at
// most 4/3 GiB of 32-bit rows. A bigger file is refused before it is read.
constexpr uint64_t kMostFileBytes = uint64_t{2} << 30;
constexpr char kOpenFailureFormat[] = "Failed to open DIB file %s.\n";

struct MappedFile {
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE mapping = nullptr;
    const void* view = nullptr;
    size_t bytes = 0;
    bool tooLarge = false;
};

HANDLE OpenForReading(const char* path, bool wideName) {
    if (wideName) {
        return CreateFileW(reinterpret_cast<LPCWSTR>(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    }
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

// Fills in what it acquires; the view is null when any step failed.
void MapWholeFile(const char* path, bool wideName, MappedFile* mapped) {
    mapped->file = OpenForReading(path, wideName);
    if (mapped->file == INVALID_HANDLE_VALUE) return;
    // INVALID_FILE_SIZE in the low word counts as a failure: no bitmap that
    // decodes comes near that size.
    DWORD sizeHigh = 0;
    const DWORD sizeLow = GetFileSize(mapped->file, &sizeHigh);
    if (sizeLow == INVALID_FILE_SIZE) return;
    const uint64_t bytes = uint64_t{sizeHigh} << 32 | sizeLow;
    if (bytes > kMostFileBytes) {
        mapped->tooLarge = true;
        return;
    }
    // The mapping is asked for the size just read, so that a file that
    // shrinks meanwhile makes it fail rather than end short of that size.
    // Size 0 (an empty file) means the whole file and fails as well.
    mapped->mapping =
        CreateFileMappingA(mapped->file, nullptr, PAGE_READONLY, sizeHigh, sizeLow, nullptr);
    if (mapped->mapping == nullptr) return;
    mapped->view = MapViewOfFile(mapped->mapping, FILE_MAP_READ, 0, 0, 0);
    mapped->bytes = static_cast<size_t>(bytes);
}

void ReleaseMappedFile(const MappedFile& mapped) {
    if (mapped.view != nullptr) UnmapViewOfFile(mapped.view);
    if (mapped.mapping != nullptr) CloseHandle(mapped.mapping);
    if (mapped.file != INVALID_HANDLE_VALUE) CloseHandle(mapped.file);
}

void ShowError(const char* text) {
    if (errorPopups) MessageBoxA(GetFocus(), text, "Error", MB_OK);
}

const char* DecodeFailureText(DibStatus status) {
    switch (status) {
    case DibStatus::UnknownFormat:
        return "Unknown DIB file format.";
    case DibStatus::Unsupported:
        return "Image file conversion error.";
    case DibStatus::Truncated:
        return "Bitmap file is truncated.";
    case DibStatus::NoPixels:
        return "Bitmap width or height is zero.";
    case DibStatus::TooLarge:
        return "Bitmap is too large.";
    case DibStatus::OutOfMemory:
    default:
        return "Out of memory.";
    }
}

// The name as a message shows it. A wide name keeps its ASCII characters
// and shows '?' for the rest, as an ANSI conversion does for what it cannot
// represent.
std::string DisplayName(const char* path, bool wideName) {
    if (path == nullptr) return "(null)";
    if (!wideName) return path;
    std::string name;
    for (auto* c = reinterpret_cast<const WCHAR*>(path); *c != 0; ++c) {
        name += *c < 0x80 ? static_cast<char>(*c) : '?';
    }
    return name;
}

// A name too long for the message buffer keeps its end, where the file name
// is, behind "...".
void ShowOpenFailure(const char* path, bool wideName) {
    constexpr size_t kRoom = kMessageBufferBytes - 1 - (sizeof kOpenFailureFormat - 1 - 2);
    std::string name = DisplayName(path, wideName);
    if (name.size() > kRoom) name = "..." + name.substr(name.size() - (kRoom - 3));
    char text[kMessageBufferBytes];
    std::snprintf(text, sizeof text, kOpenFailureFormat, name.c_str());
    ShowError(text);
}

}  // namespace

RgbImage* LoadBitmapFile(const char* path) {
    if (path == nullptr) return nullptr;
    // Opening a FIFO or a device can wait for ever, so only a regular file
    // gets the stream test; anything else that exists goes on to the loader,
    // which refuses it with its open-failure message.
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) return nullptr;
    if (std::filesystem::is_regular_file(status)) {
        FILE* stream = std::fopen(path, "r");
        if (stream == nullptr) return nullptr;
        std::fclose(stream);
    }
    return LoadDibImage(path, false);
}

RgbImage* LoadDibImage(const char* path, bool wideName) {
    MappedFile mapped;
    MapWholeFile(path, wideName, &mapped);
    RgbImage* image = nullptr;
    if (mapped.tooLarge) {
        ShowError(DecodeFailureText(DibStatus::TooLarge));
    } else if (mapped.view != nullptr) {
        const DibStatus status = DecodeDib(mapped.view, mapped.bytes, &image);
        if (status != DibStatus::Loaded) ShowError(DecodeFailureText(status));
    }
    ReleaseMappedFile(mapped);
    if (mapped.view == nullptr && !mapped.tooLarge) ShowOpenFailure(path, wideName);
    return image;
}
