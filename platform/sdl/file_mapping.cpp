// Read-only file mapping over POSIX: CreateFileA/W open(2) the file,
// CreateFileMappingA and MapViewOfFile mmap(2) all of it. Only what reading
// a whole file needs is supported (GENERIC_READ, OPEN_EXISTING,
// PAGE_READONLY, FILE_MAP_READ at offset 0); any other request fails as an
// unsupported one does on Win32.
#include "seam_internal.h"
#include "win32_api.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>

namespace {

enum class KernelObjectKind { File, Mapping };

// A file keeps its descriptor; a mapping keeps its own duplicate, so that it
// outlives the file handle as a Win32 mapping does.
struct KernelObject {
    KernelObjectKind kind;
    int fd;
    uint64_t bytes;  // mappings only
};

std::set<KernelObject*> liveObjects;
std::map<const void*, size_t> liveViews;  // address -> length

KernelObject* Find(HANDLE handle, KernelObjectKind kind) {
    auto* object = static_cast<KernelObject*>(handle);
    if (liveObjects.count(object) == 0 || object->kind != kind) return nullptr;
    return object;
}

HANDLE NewObject(KernelObjectKind kind, int fd, uint64_t bytes) {
    auto* object = new KernelObject{kind, fd, bytes};
    liveObjects.insert(object);
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
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return INVALID_HANDLE_VALUE;
    // CreateFile opens no directory without FILE_FLAG_BACKUP_SEMANTICS.
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        return INVALID_HANDLE_VALUE;
    }
    return NewObject(KernelObjectKind::File, fd, 0);
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
    const int fd = fcntl(object->fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    return NewObject(KernelObjectKind::Mapping, fd, bytes);
}

LPVOID WINAPI MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow,
                            SIZE_T bytes) {
    if (kv17::seam::CallFails("MapViewOfFile")) return nullptr;
    const KernelObject* object = Find(mapping, KernelObjectKind::Mapping);
    if (object == nullptr || access != FILE_MAP_READ || offsetHigh != 0 || offsetLow != 0) {
        return nullptr;
    }
    if (bytes == 0) bytes = object->bytes;
    if (bytes > object->bytes) return nullptr;
    void* view = mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE, object->fd, 0);
    if (view == MAP_FAILED) return nullptr;
    liveViews[view] = bytes;
    return view;
}

BOOL WINAPI UnmapViewOfFile(const void* view) {
    if (kv17::seam::CallFails("UnmapViewOfFile")) return FALSE;
    const auto found = liveViews.find(view);
    if (found == liveViews.end()) return FALSE;
    munmap(const_cast<void*>(found->first), found->second);
    liveViews.erase(found);
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE object) {
    if (kv17::seam::CallFails("CloseHandle")) return FALSE;
    auto* kernelObject = static_cast<KernelObject*>(object);
    if (liveObjects.erase(kernelObject) == 0) return FALSE;
    close(kernelObject->fd);
    delete kernelObject;
    return TRUE;
}
