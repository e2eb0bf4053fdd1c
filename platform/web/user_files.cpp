// The browser keeps nothing of the user's between visits: the page's
// address carries the setting instead.
#include "platform/file_paths.h"

bool PlatformUserConfigFolder(char*, size_t) { return false; }

bool PlatformWriteFileWhole(const char*, const char*, size_t) { return false; }
