// The running program's folder, from the module's own file name.
#include <cstring>

#include "platform/file_paths.h"
#include "platform/windows/windows_api.h"

bool PlatformExecutableDirectory(char* out, size_t outSize) {
    char path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return false;
    char* slash = std::strrchr(path, '\\');
    char* forward = std::strrchr(path, '/');
    if (forward != nullptr && (slash == nullptr || forward > slash)) slash = forward;
    if (slash == nullptr) return false;
    *slash = '\0';
    if (std::strlen(path) >= outSize) return false;
    std::strcpy(out, path);
    return true;
}
