// The texture list: the file that names the images that cover the rules,
// and each entry's image read by its type's reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "images/image.h"
#include "platform/platform.h"

// The most entries a list may have: the texture table has a name for each.
// A list with more entries than this is refused.
constexpr int TEXTURE_TABLE_CAPACITY = 21;

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

// --- The entries' images -------------------------------------------------------

// The entry's image by its type's reader, or null when there is none to
// upload (no type, or a TGA or bitmap that its reader refused). The JPEG and
// bitmap readers show their messages with `owner` as the boxes' owner.
// *jpegFailed is set when a JPEG entry could not be loaded, which ends
// start-up.
Image* ReadEntryImage(const TextureListEntry& entry, WindowHandle owner, bool* jpegFailed);
