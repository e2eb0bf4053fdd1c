// Whole-file views through a file mapping.
#include "platform/mapped_file.h"

#include <cstdint>

#include "platform/file_paths.h"
#include "platform/windows/windows_api.h"

bool PlatformMapFile(const char* path, MappedFile* file) {
    *file = MappedFile{nullptr, 0};
    char resolved[4096];
    if (!PlatformResolvePath(path, resolved, sizeof resolved)) return false;
    const HANDLE handle = CreateFileA(resolved, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    bool mapped = false;
    LARGE_INTEGER size;
    // Only regular files of some size: not a device, a pipe or an empty file,
    // which cannot be mapped.
    if (GetFileType(handle) == FILE_TYPE_DISK && GetFileSizeEx(handle, &size) && size.QuadPart > 0 &&
        static_cast<uint64_t>(size.QuadPart) <= SIZE_MAX) {
        const HANDLE mapping = CreateFileMappingA(handle, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping != nullptr) {
            const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
            if (view != nullptr) {
                *file = MappedFile{static_cast<const uint8_t*>(view), static_cast<size_t>(size.QuadPart)};
                mapped = true;
            }
            // The view keeps the mapping and the file open until it is unmapped.
            CloseHandle(mapping);
        }
    }
    CloseHandle(handle);
    return mapped;
}

void PlatformUnmapFile(MappedFile* file) {
    if (file->data != nullptr) UnmapViewOfFile(file->data);
    *file = MappedFile{nullptr, 0};
}
