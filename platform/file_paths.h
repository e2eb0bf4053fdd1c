// File paths as the program gives them, and where the program lies. Apart
// from platform.h, like mapped_file.h, so that the Windows forms can use them.
#pragma once

#include <cstddef>

// Writes `path` with every '\\' turned into '/' into `out` (cut to fit).
void PlatformTranslatePath(const char* path, char* out, size_t outSize);
// Makes relative paths given to PlatformOpenFile and PlatformMapFile count
// from `directory` instead of the working directory; empty or null: from the
// working directory again.
void PlatformSetRelativeBase(const char* directory);
// The path a file call uses for `path`: translated, and under the relative
// base when it is relative. False when it does not fit.
bool PlatformResolvePath(const char* path, char* out, size_t outSize);
// The folder that holds the running program, without a trailing separator.
// False when the system cannot say or it does not fit.
bool PlatformExecutableDirectory(char* out, size_t outSize);
// The folder the data installed with the program lies in: as installed in
// the usual layout <program folder>/../share/vernaskel, on Windows the
// program's own folder. False when the program's folder cannot be told.
bool PlatformInstalledDataFolder(char* out, size_t outSize);

// The folder the program keeps the user's own records in:
// $XDG_CONFIG_HOME/vernaskel (else $HOME/.config/vernaskel) on POSIX,
// %APPDATA%\Vernaskel on Windows. It may not exist yet. False where there is
// none (the browser) or it cannot be told.
bool PlatformUserConfigFolder(char* out, size_t outSize);
// Writes `size` bytes to `path` whole or not at all: into a new file in the
// same folder (made first when it is missing), which then takes the old
// one's place. False when it cannot.
bool PlatformWriteFileWhole(const char* path, const char* data, size_t size);
