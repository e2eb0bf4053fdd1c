// The mipmap levels that images/mipmaps.h makes, fitted and uploaded into a
// GL texture as gluBuild2DMipmaps would.
#pragma once

#include <cstdint>

// The size of level 0 as gluBuild2DMipmaps chooses it in the current context:
// each side to its nearest power of two; then, where the GL version is 1.1 or
// later, both halved until a proxy texture of level 1 fits, otherwise each
// clamped to GL_MAX_TEXTURE_SIZE.
void FitMipmapSize(int internalFormat, int width, int height, unsigned format, int* fittedWidth, int* fittedHeight);

// Defines every level of the GL_TEXTURE_2D texture bound now from a picture of
// packed rows (3 components for GL_RGB, 4 for GL_RGBA), where the program
// calls gluBuild2DMipmaps with GL_UNSIGNED_BYTE pixels. The unpack alignment
// is left as it was. False, with nothing defined, when the arguments make no
// picture.
bool BuildMipmaps(int internalFormat, int width, int height, unsigned format, const uint8_t* pixels);
