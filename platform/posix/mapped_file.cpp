// Whole-file views through mmap.
#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_paths.h"

bool PlatformMapFile(const char* path, MappedFile* file) {
    *file = MappedFile{nullptr, 0};
    char translated[4096];
    if (!PlatformResolvePath(path, translated, sizeof translated)) return false;
    // Non-blocking, so that a named pipe cannot hold the open; a regular
    // file opens as usual.
    const int fd = open(translated, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat status;
    bool mapped = false;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
        const size_t size = static_cast<size_t>(status.st_size);
        void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (view != MAP_FAILED) {
            *file = MappedFile{static_cast<const uint8_t*>(view), size};
            mapped = true;
        }
    }
    // The view stays valid after the descriptor is closed.
    close(fd);
    return mapped;
}

void PlatformUnmapFile(MappedFile* file) {
    if (file->data != nullptr) munmap(const_cast<uint8_t*>(file->data), file->size);
    *file = MappedFile{nullptr, 0};
}
