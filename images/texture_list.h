// The texture list: the images that cover the rules, made into textures.
#pragma once

#include <cstdint>

// Room for the texture names of the list's entries; entry i of the list owns
// name i. Entries with no texture hold 0, which binds the default texture.
constexpr int TEXTURE_TABLE_CAPACITY = 21;

struct TextureTable {
    uint32_t names[TEXTURE_TABLE_CAPACITY];
};

extern TextureTable textureTable;

// The texture name of a list entry; 0 for an index outside the table.
uint32_t TextureName(int index);

// Reads the texture list, shows the loading screen and makes the textures.
void LoadTextureList();
