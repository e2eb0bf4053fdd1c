// Where the data installed with the program lies, found from the program's
// own folder so that an installation can be moved as a whole.
#include <cstdio>
#include <filesystem>

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
    // Written without the "bin/.." detour, as a user would write it.
    std::filesystem::path folder =
        (std::filesystem::path(programFolder) / INSTALLED_DATA_FROM_PROGRAM).lexically_normal();
    if (folder.filename().empty() && folder.has_relative_path()) folder = folder.parent_path();
    const int written = std::snprintf(out, outSize, "%s", folder.string().c_str());
    return written >= 0 && static_cast<size_t>(written) < outSize;
}
