// The main loop on the desktop: pass after pass, never waiting.
#include "platform/platform.h"

void PlatformRunMainLoop(bool (*pass)()) {
    while (pass()) {
    }
}
