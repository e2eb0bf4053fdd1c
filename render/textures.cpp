#include "render/textures.h"

#include <GL/gl.h>

#include "render/mipmap_upload.h"

TextureTable textureTable;

uint32_t TextureName(int index) {
    if (index < 0 || index >= TEXTURE_TABLE_CAPACITY) return 0;
    return textureTable.names[index];
}

namespace {

void UploadImage(const Image* image, TextureFilter filter) {
    const GLenum format = image->bytesPerPixel == 3 ? GL_RGB : GL_RGBA;
    if (filter == TextureFilter::Mipmapped) {
        BuildMipmaps(image->bytesPerPixel, image->width, image->height, format, image->pixels);
    } else if (filter == TextureFilter::Plain) {
        glTexImage2D(GL_TEXTURE_2D, 0, image->bytesPerPixel, image->width, image->height, 0, format, GL_UNSIGNED_BYTE,
                     image->pixels);
    }
}

}  // namespace

void MakeEntryTexture(const Image* image, TextureFilter filter, uint32_t* name) {
    glGenTextures(1, name);
    glBindTexture(GL_TEXTURE_2D, *name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (image != nullptr) UploadImage(image, filter);
    if (filter == TextureFilter::Mipmapped) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    } else if (filter == TextureFilter::Plain) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void MakeTableTexture(int index, const Image* image, TextureFilter filter) {
    if (index < 0 || index >= TEXTURE_TABLE_CAPACITY) return;
    MakeEntryTexture(image, filter, &textureTable.names[index]);
}
