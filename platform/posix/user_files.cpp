// The user's configuration folder after the XDG convention, and files
// replaced whole by a rename, which POSIX makes atomic.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/file_paths.h"

bool PlatformUserConfigFolder(char* out, size_t outSize) {
    // A relative XDG_CONFIG_HOME is to be passed over, as an unset one.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    int written = -1;
    if (config != nullptr && config[0] == '/') {
        written = std::snprintf(out, outSize, "%s/vernaskel", config);
    } else if (home != nullptr && home[0] == '/') {
        written = std::snprintf(out, outSize, "%s/.config/vernaskel", home);
    }
    return written >= 0 && static_cast<size_t>(written) < outSize;
}

bool PlatformWriteFileWhole(const char* path, const char* data, size_t size) {
    const std::filesystem::path target(path);
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    std::string temporary = std::string(path) + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return false;
    bool written = true;
    for (size_t done = 0; written && done < size;) {
        const ssize_t n = write(fd, data + done, size - done);
        written = n > 0;
        if (written) done += static_cast<size_t>(n);
    }
    // On the disk before it takes the old file's place, so that a crash
    // leaves the old record or the new one.
    written = written && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (written && std::rename(temporary.c_str(), path) == 0) return true;
    unlink(temporary.c_str());
    return false;
}
