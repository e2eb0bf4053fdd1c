// The main loop on the desktop: pass after pass, never waiting; and what
// the desktop has no use for.
#include "platform/platform.h"

void PlatformRunMainLoop(bool (*pass)()) {
    while (pass()) {
    }
}

// A desktop program has no address to keep its setting in.
void PlatformPublishSetting(const char*) {}

// Nor, with mouse and keyboard, touches to tell apart.
void PlatformSetTouchTarget(bool (*)(int32_t, int32_t)) {}
