// The user's configuration folder in the roaming application data, and
// files replaced whole by MoveFileEx.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/file_paths.h"
#include "platform/windows/windows_api.h"

bool PlatformUserConfigFolder(char* out, size_t outSize) {
    const char* appData = std::getenv("APPDATA");
    if (appData == nullptr || appData[0] == '\0') return false;
    const int written = std::snprintf(out, outSize, "%s\\Vernaskel", appData);
    return written >= 0 && static_cast<size_t>(written) < outSize;
}

bool PlatformWriteFileWhole(const char* path, const char* data, size_t size) {
    const std::filesystem::path target(path);
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    // Named by the process, so that two programs ending at once do not write
    // into one new file.
    const std::string temporary = std::string(path) + "." + std::to_string(GetCurrentProcessId()) + ".new";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(data, 1, size, file) == size;
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (written && MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileA(temporary.c_str());
    return false;
}
