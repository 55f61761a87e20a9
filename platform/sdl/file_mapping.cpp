// Read-only file mapping over POSIX: CreateFileA/W open(2) a regular file,
// CreateFileMappingA reads all of it into memory, and MapViewOfFile hands
// out that copy. Only what reading a whole file needs is supported
// (GENERIC_READ, OPEN_EXISTING, PAGE_READONLY, FILE_MAP_READ at offset 0);
// any other request fails as an unsupported one does on Win32.
//
// NOTE: a copy, not mmap(2). On Win32 a mapped file cannot shrink; here it
// can, and a view of a file that shrinks faults with SIGBUS. A copy taken
// when the mapping is made is what a Win32 mapping guarantees: the bytes of
// the file as it was, for as long as a view lives.
#include "regular_file.h"
#include "seam_internal.h"
#include "win32_api.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace {

enum class KernelObjectKind { File, Mapping };

// The bytes a mapping holds; views share them and keep them alive after the
// mapping's handle is closed, as on Win32.
struct FileCopy {
    explicit FileCopy(size_t bytes)
        : data(static_cast<unsigned char*>(std::malloc(bytes))), size(bytes) {}
    FileCopy(const FileCopy&) = delete;
    FileCopy& operator=(const FileCopy&) = delete;
    ~FileCopy() { std::free(data); }

    unsigned char* const data;
    const size_t size;
};

struct KernelObject {
    KernelObjectKind kind;
    int fd;                          // files only
    std::shared_ptr<FileCopy> copy;  // mappings only
};

struct KernelState {
    std::set<KernelObject*> objects;
    std::multimap<const void*, std::shared_ptr<FileCopy>> views;
} kernel;

KernelObject* Find(HANDLE handle, KernelObjectKind kind) {
    auto* object = static_cast<KernelObject*>(handle);
    if (kernel.objects.count(object) == 0 || object->kind != kind) return nullptr;
    return object;
}

HANDLE NewObject(KernelObjectKind kind, int fd, std::shared_ptr<FileCopy> copy) {
    auto* object = new KernelObject{kind, fd, std::move(copy)};
    kernel.objects.insert(object);
    return object;
}

bool FileSize(int fd, uint64_t* bytes) {
    struct stat info;
    if (fstat(fd, &info) != 0) return false;
    *bytes = static_cast<uint64_t>(info.st_size);
    return true;
}

HANDLE OpenExistingForReading(const char* path, DWORD access, DWORD creation) {
    if (path == nullptr || access != GENERIC_READ || creation != OPEN_EXISTING) {
        return INVALID_HANDLE_VALUE;
    }
    // Only regular files are read; a directory, a FIFO or a device fails
    // here as a file that cannot be opened, errno saying why.
    const int fd = OpenRegularFile(path);
    if (fd < 0) return INVALID_HANDLE_VALUE;
    return NewObject(KernelObjectKind::File, fd, nullptr);
}

// The first `bytes` bytes of the file, or null when it ends before them
// (it shrank since its size was read) or they do not fit in memory.
std::shared_ptr<FileCopy> CopyFile(int fd, uint64_t bytes) {
    if (bytes > SIZE_MAX) return nullptr;
    auto copy = std::make_shared<FileCopy>(static_cast<size_t>(bytes));
    if (copy->data == nullptr) return nullptr;
    for (size_t done = 0; done < copy->size;) {
        const ssize_t got = pread(fd, copy->data + done, copy->size - done, (off_t)done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return nullptr;
        done += static_cast<size_t>(got);
    }
    return copy;
}

// File names on this system are UTF-8.
std::string Utf8FromWide(LPCWSTR wide) {
    std::string utf8;
    for (; *wide != 0; ++wide) {
        const auto code = static_cast<uint32_t>(*wide);
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | code >> 6);
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            utf8 += static_cast<char>(0xE0 | code >> 12);
            utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | code >> 18);
            utf8 += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD access, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD creation, DWORD, HANDLE) {
    if (kv17::seam::CallFails("CreateFileA")) return INVALID_HANDLE_VALUE;
    return OpenExistingForReading(fileName, access, creation);
}

HANDLE WINAPI CreateFileW(LPCWSTR fileName, DWORD access, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD creation, DWORD, HANDLE) {
    if (kv17::seam::CallFails("CreateFileW")) return INVALID_HANDLE_VALUE;
    if (fileName == nullptr) return INVALID_HANDLE_VALUE;
    return OpenExistingForReading(Utf8FromWide(fileName).c_str(), access, creation);
}

DWORD WINAPI GetFileSize(HANDLE file, LPDWORD fileSizeHigh) {
    if (kv17::seam::CallFails("GetFileSize")) return INVALID_FILE_SIZE;
    const KernelObject* object = Find(file, KernelObjectKind::File);
    uint64_t bytes = 0;
    if (object == nullptr || !FileSize(object->fd, &bytes)) return INVALID_FILE_SIZE;
    if (fileSizeHigh != nullptr) *fileSizeHigh = static_cast<DWORD>(bytes >> 32);
    return static_cast<DWORD>(bytes);
}

HANDLE WINAPI CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect,
                                 DWORD maxSizeHigh, DWORD maxSizeLow, LPCSTR name) {
    if (kv17::seam::CallFails("CreateFileMappingA")) return nullptr;
    const KernelObject* object = Find(file, KernelObjectKind::File);
    if (object == nullptr || protect != PAGE_READONLY || name != nullptr) return nullptr;
    uint64_t fileBytes = 0;
    if (!FileSize(object->fd, &fileBytes)) return nullptr;
    // Size 0 means the whole file, and a read-only mapping cannot grow the
    // file; so an empty file cannot be mapped at all.
    uint64_t bytes = uint64_t{maxSizeHigh} << 32 | maxSizeLow;
    if (bytes == 0) bytes = fileBytes;
    if (bytes == 0 || bytes > fileBytes) return nullptr;
    std::shared_ptr<FileCopy> copy = CopyFile(object->fd, bytes);
    if (copy == nullptr) return nullptr;
    return NewObject(KernelObjectKind::Mapping, -1, std::move(copy));
}

LPVOID WINAPI MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow,
                            SIZE_T bytes) {
    if (kv17::seam::CallFails("MapViewOfFile")) return nullptr;
    const KernelObject* object = Find(mapping, KernelObjectKind::Mapping);
    if (object == nullptr || access != FILE_MAP_READ || offsetHigh != 0 || offsetLow != 0) {
        return nullptr;
    }
    if (bytes > object->copy->size) return nullptr;
    kernel.views.emplace(object->copy->data, object->copy);
    return object->copy->data;
}

BOOL WINAPI UnmapViewOfFile(const void* view) {
    if (kv17::seam::CallFails("UnmapViewOfFile")) return FALSE;
    const auto found = kernel.views.find(view);
    if (found == kernel.views.end()) return FALSE;
    kernel.views.erase(found);
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE object) {
    if (kv17::seam::CallFails("CloseHandle")) return FALSE;
    auto* kernelObject = static_cast<KernelObject*>(object);
    if (kernel.objects.erase(kernelObject) == 0) return FALSE;
    if (kernelObject->fd >= 0) close(kernelObject->fd);
    delete kernelObject;
    return TRUE;
}
