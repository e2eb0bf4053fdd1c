// Where the data installed with the program lies, found from the program's
// own folder so that an installation can be moved as a whole.
#include <cstdio>
#include <string>

#include "platform/file_paths.h"

namespace {

// Where the default data is installed, from the folder of the program; the
// build sets it from the install layout.
#ifndef VERNASKEL_INSTALLED_DATA_FROM_PROGRAM
#define VERNASKEL_INSTALLED_DATA_FROM_PROGRAM "../share/vernaskel"
#endif
constexpr const char* INSTALLED_DATA_FROM_PROGRAM = VERNASKEL_INSTALLED_DATA_FROM_PROGRAM;

}  // namespace

bool PlatformInstalledDataFolder(char* out, size_t outSize) {
    char programFolder[4096];
    if (!PlatformExecutableDirectory(programFolder, sizeof programFolder)) return false;
    std::string folder = std::string(programFolder) + "/" + INSTALLED_DATA_FROM_PROGRAM;
    // Written without the "bin/.." detour, as a user would write it.
    std::string tidy;
    size_t start = 0;
    while (start <= folder.size()) {
        size_t end = folder.find('/', start);
        if (end == std::string::npos) end = folder.size();
        const std::string part = folder.substr(start, end - start);
        const size_t lastSlash = tidy.rfind('/');
        const std::string lastPart = lastSlash == std::string::npos ? tidy : tidy.substr(lastSlash + 1);
        if (part == ".." && !lastPart.empty() && lastPart != "..") {
            tidy.erase(lastSlash == std::string::npos ? 0 : lastSlash);
        } else if (!part.empty() && part != ".") {
            tidy += (start == 0 && part.find(':') != std::string::npos) ? part : "/" + part;
        }
        start = end + 1;
    }
    if (tidy.empty()) tidy = "/";
    const int written = std::snprintf(out, outSize, "%s", tidy.c_str());
    return written >= 0 && static_cast<size_t>(written) < outSize;
}
