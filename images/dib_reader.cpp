#include "images/dib_reader.h"

Image* ReadDibImage(const char*) {
    // Not built yet: no bitmap is read.
    return nullptr;
}
