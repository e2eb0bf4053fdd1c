// The texture list: the images that cover the rules, made into textures,
// with the loading screen that shows while they load.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "images/image.h"

// Room for the texture names of the list's entries; entry i of the list owns
// name i. Entries with no texture hold 0, which binds the default texture.
// A list with more entries than this is refused.
constexpr int TEXTURE_TABLE_CAPACITY = 21;

struct TextureTable {
    uint32_t names[TEXTURE_TABLE_CAPACITY];
};

extern TextureTable textureTable;

// The texture name of a list entry; 0 for an index outside the table.
uint32_t TextureName(int index);

// --- The list file -----------------------------------------------------------

// Relative to the working directory; the platform layer translates the '\'.
constexpr const char* TEXTURE_LIST_PATH = "data\\ts";
// Every word of the list fits this buffer: 251 characters and the zero.
constexpr int LIST_WORD_SIZE = 252;

enum class TextureType { None, Jpeg, Bitmap, Tga };
enum class TextureFilter { None, Mipmapped, Plain };

// One entry as the loader uses it. The type and filter are those in force
// for the entry: its own letters, or the previous entry's where its word
// begins with no known letter. The label is read and dropped.
struct TextureListEntry {
    TextureType type;
    TextureFilter filter;
    char path[LIST_WORD_SIZE];
};

struct TextureList {
    int32_t count;  // as the list gives it; 0 or below: no entries follow
    TextureListEntry entries[TEXTURE_TABLE_CAPACITY];
};

enum class ListProblem {
    None,
    Unreadable,      // the stream reported a read error
    NoCount,         // the list does not begin with a number
    TooManyEntries,  // more entries than the texture table holds
    WordTooLong,     // a word of more than LIST_WORD_SIZE - 1 characters
    EndsEarly        // the list ends before its last entry is complete
};

struct ListReadResult {
    ListProblem problem;
    int32_t count;    // the number the list begins with (saturated to 32 bits)
    int32_t entry;    // 1-based entry where the problem was found; 0 before the entries
    int word;         // 1 to 4: label, type, filter, path
    int systemError;  // errno of a read error
};

// Reads the count and then `count` entries of four whitespace-separated
// words each, and nothing after them. On any problem `list` holds what was
// read so far and the result says what went wrong and where.
ListReadResult ReadTextureList(FILE* file, TextureList* list);

// A message for the user about the problem, naming the list file.
void DescribeListProblem(const ListReadResult& result, const char* fileName, char* out, size_t outSize);

// --- Loading -----------------------------------------------------------------

extern int32_t textureCount;  // entries of the list being loaded
extern float LoadProgress;    // 0 at program start; 1 / textureCount more per entry

// Where the loading screen's frame and bar lie, between the near and the far
// plane of the orthographic set-up.
constexpr double LOADING_DEPTH = 1.0;

// Reads the texture list, shows the loading screen and makes one texture per
// entry. Ends the process with status 1 after an "Error" message box when the
// list cannot be opened or read, is malformed, or a JPEG entry cannot be
// loaded.
void LoadTextureList();

// Shows the loading screen with entry n's segment added (n is 1-based).
void DrawProgressStep(float n);

// The entry's image by its type's reader, or null when there is none to
// upload (no type, or a TGA or bitmap that its reader refused). A JPEG that
// cannot be loaded ends the process as LoadTextureList says.
Image* ReadEntryImage(const TextureListEntry& entry);
// Generates and binds the entry's texture into *name, uploads the image (if
// any) with the entry's filter and sets the filters and the texture mode.
void MakeEntryTexture(const Image* image, TextureFilter filter, uint32_t* name);
