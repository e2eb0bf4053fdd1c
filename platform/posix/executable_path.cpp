// The running program's folder, from the link the kernel keeps to it.
#include <unistd.h>

#include <cstring>

#include "platform/file_paths.h"

bool PlatformExecutableDirectory(char* out, size_t outSize) {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return false;
    path[length] = '\0';
    char* slash = std::strrchr(path, '/');
    if (slash == nullptr) return false;
    *slash = '\0';
    if (path[0] == '\0') std::strcpy(path, "/");
    if (std::strlen(path) >= outSize) return false;
    std::strcpy(out, path);
    return true;
}
