#include "images/texture_list.h"

TextureTable textureTable = {};

uint32_t TextureName(int index) {
    if (index < 0 || index >= TEXTURE_TABLE_CAPACITY) return 0;
    return textureTable.names[index];
}

void LoadTextureList() {
    // The list reader and the loading screen are not built yet: no texture is
    // made, and every strip is drawn with the default (white) texture.
}
