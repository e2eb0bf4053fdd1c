// The texture table: one GL texture a texture list entry, made from the
// entry's image with the entry's filter.
#pragma once

#include <cstdint>

#include "images/image.h"
#include "images/texture_list.h"

// Room for the texture names of the list's entries; entry i of the list owns
// name i. Entries with no texture hold 0, which binds the default texture.
struct TextureTable {
    uint32_t names[TEXTURE_TABLE_CAPACITY] = {};
};

extern TextureTable textureTable;

// The texture name of a list entry; 0 for an index outside the table.
uint32_t TextureName(int index);

// Generates and binds the entry's texture into *name, uploads the image (if
// any) with the entry's filter and sets the filters and the texture mode.
void MakeEntryTexture(const Image* image, TextureFilter filter, uint32_t* name);
// The same into the table's name for list entry `index` (nothing outside the
// table).
void MakeTableTexture(int index, const Image* image, TextureFilter filter);
