#include "bitmap_loader.h"

#include "dib_decoder.h"
#include "win32_api.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

bool errorPopups = true;

namespace {

constexpr size_t kMessageBufferBytes = 256;

// No bitmap the decoder converts is larger: 1 GiB of output comes from at
// most 4/3 GiB of 32-bit rows. A bigger file is refused before it is read.
constexpr uint64_t kMostFileBytes = uint64_t{2} << 30;
constexpr char kOpenFailureFormat[] = "Failed to open DIB file %s.\n";

std::string failureReason;

struct MappedFile {
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE mapping = nullptr;
    const void* view = nullptr;
    size_t bytes = 0;
    bool tooLarge = false;
};

// The C runtime's reason for the last failed step where the platform sets
// errno (this system's does; Windows' calls leave it alone).
std::string SystemReason(const char* otherwise) {
    return errno != 0 ? std::strerror(errno) : otherwise;
}

HANDLE OpenForReading(const char* path, bool wideName) {
    errno = 0;
    HANDLE file;
    if (wideName) {
        file = CreateFileW(reinterpret_cast<LPCWSTR>(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    } else {
        file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) failureReason = SystemReason("cannot be opened");
    return file;
}

// Fills in what it acquires; the view is null when any step failed.
void MapWholeFile(MappedFile* mapped) {
    // INVALID_FILE_SIZE in the low word counts as a failure: no bitmap that
    // decodes comes near that size.
    errno = 0;
    DWORD sizeHigh = 0;
    const DWORD sizeLow = GetFileSize(mapped->file, &sizeHigh);
    if (sizeLow == INVALID_FILE_SIZE) {
        failureReason = SystemReason("cannot be read");
        return;
    }
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
    if (mapped->mapping != nullptr)
        mapped->view = MapViewOfFile(mapped->mapping, FILE_MAP_READ, 0, 0, 0);
    if (mapped->view == nullptr)
        failureReason = bytes == 0 ? "the file is empty" : SystemReason("cannot be read");
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

// The decoder's verdict as the box shows it; the stderr line of a header
// the demo refuses by design says which tool reads it.
void ReportDecodeFailure(DibStatus status, const char* path, bool wideName) {
    ShowError(DibStatusText(status));
    failureReason = DibStatusText(status);
    if (status == DibStatus::NewerHeader) {
        failureReason +=
            " Its header is a newer kind, which the demo refuses by design;"
            " convert it with: kv17-make-texture --from " +
            DisplayName(path, wideName);
    }
}

RgbImage* LoadOpenFile(HANDLE file, const char* path, bool wideName) {
    MappedFile mapped;
    mapped.file = file;
    MapWholeFile(&mapped);
    RgbImage* image = nullptr;
    if (mapped.tooLarge) {
        ReportDecodeFailure(DibStatus::TooLarge, path, wideName);
    } else if (mapped.view != nullptr) {
        const DibStatus status = DecodeDib(mapped.view, mapped.bytes, &image);
        if (status != DibStatus::Loaded) ReportDecodeFailure(status, path, wideName);
    }
    ReleaseMappedFile(mapped);
    if (mapped.view == nullptr && !mapped.tooLarge) ShowOpenFailure(path, wideName);
    if (image != nullptr) failureReason.clear();
    return image;
}

}  // namespace

RgbImage* LoadBitmapFile(const char* path) {
    failureReason = "no file named";
    if (path == nullptr) return nullptr;
    // The existence test is the open itself: what cannot be opened for
    // reading is refused without a message, as a missing file is.
    const HANDLE file = OpenForReading(path, false);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return LoadOpenFile(file, path, false);
}

RgbImage* LoadDibImage(const char* path, bool wideName) {
    const HANDLE file = OpenForReading(path, wideName);
    if (file != INVALID_HANDLE_VALUE) return LoadOpenFile(file, path, wideName);
    ShowOpenFailure(path, wideName);
    return nullptr;
}

const char* BitmapFailureReason() { return failureReason.c_str(); }
