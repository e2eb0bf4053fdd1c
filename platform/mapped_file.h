// Read-only views of whole files, one form for each kind of system
// (platform/posix, platform/windows). Apart from platform.h so that the
// Windows form, which needs <windows.h>, does not meet platform.h's names.
#pragma once

#include <cstddef>
#include <cstdint>

// A read-only view of a whole file.
struct MappedFile {
    const uint8_t* data;
    size_t size;
};
// Maps the whole file (path as for PlatformOpenFile) read-only. False when it
// cannot be opened, is not a regular file, is empty or cannot be mapped.
bool PlatformMapFile(const char* path, MappedFile* file);
// Releases a view made by PlatformMapFile and clears the record.
void PlatformUnmapFile(MappedFile* file);
