#include "images/texture_list.h"

#include <cerrno>
#include <cstring>

#include "images/dib_reader.h"
#include "images/jpeg_reader.h"
#include "images/tga_reader.h"

// --- Reading the list --------------------------------------------------------

namespace {

enum class WordRead { Ok, End, TooLong, Error };

// The white space that separates the list's words, as "%s" skips it.
bool IsListSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }

int SkipSpace(FILE* file) {
    int c = std::fgetc(file);
    while (c != EOF && IsListSpace(c)) c = std::fgetc(file);
    return c;
}

// Reads the next word into `word` (LIST_WORD_SIZE bytes), never past it.
WordRead ReadWord(FILE* file, char* word) {
    int c = SkipSpace(file);
    if (c == EOF) return std::ferror(file) ? WordRead::Error : WordRead::End;
    int length = 0;
    while (c != EOF && !IsListSpace(c)) {
        if (length == LIST_WORD_SIZE - 1) return WordRead::TooLong;
        word[length++] = static_cast<char>(c);
        c = std::fgetc(file);
    }
    word[length] = '\0';
    return c == EOF && std::ferror(file) ? WordRead::Error : WordRead::Ok;
}

// Reads a signed decimal number as "%ld" does: white space, an optional
// sign, then digits up to the first other character, which stays unread.
// Values beyond 32 bits are saturated.
bool ReadCount(FILE* file, int32_t* count) {
    int c = SkipSpace(file);
    const bool negative = c == '-';
    if (c == '-' || c == '+') c = std::fgetc(file);
    if (!IsDigit(c)) return false;
    constexpr int64_t SATURATED = int64_t{1} << 40;
    int64_t value = 0;
    while (IsDigit(c)) {
        if (value < SATURATED) value = value * 10 + (c - '0');
        c = std::fgetc(file);
    }
    if (c != EOF) std::ungetc(c, file);
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    *count = static_cast<int32_t>(value);
    return true;
}

ListReadResult Problem(ListProblem problem, int32_t count, int32_t entry, int word) {
    return ListReadResult{problem, count, entry, word, problem == ListProblem::Unreadable ? errno : 0};
}

void TakeTypeLetter(char letter, TextureType* type) {
    switch (letter) {
        case 'j': case 'J': *type = TextureType::Jpeg; break;
        case 'b': case 'B': *type = TextureType::Bitmap; break;
        case 't': case 'T': *type = TextureType::Tga; break;
        default: break;  // the previous entry's type stays in force
    }
}

void TakeFilterLetter(char letter, TextureFilter* filter) {
    switch (letter) {
        case 'm': case 'M': *filter = TextureFilter::Mipmapped; break;
        case 'n': case 'N': *filter = TextureFilter::Plain; break;
        default: break;
    }
}

}  // namespace

ListReadResult ReadTextureList(FILE* file, TextureList* list) {
    errno = 0;
    list->count = 0;
    if (!ReadCount(file, &list->count)) {
        return Problem(std::ferror(file) ? ListProblem::Unreadable : ListProblem::NoCount, 0, 0, 0);
    }
    const int32_t count = list->count;
    if (count > TEXTURE_TABLE_CAPACITY) return Problem(ListProblem::TooManyEntries, count, 0, 0);

    TextureType type = TextureType::None;
    TextureFilter filter = TextureFilter::None;
    char word[LIST_WORD_SIZE];
    for (int32_t i = 0; i < count; ++i) {
        TextureListEntry& entry = list->entries[i];
        for (int w = 1; w <= 4; ++w) {
            const WordRead read = ReadWord(file, word);
            if (read == WordRead::Error) return Problem(ListProblem::Unreadable, count, i + 1, w);
            if (read == WordRead::TooLong) return Problem(ListProblem::WordTooLong, count, i + 1, w);
            if (read == WordRead::End) return Problem(ListProblem::EndsEarly, count, i + 1, w);
            if (w == 2) TakeTypeLetter(word[0], &type);
            if (w == 3) TakeFilterLetter(word[0], &filter);
            if (w == 4) std::memcpy(entry.path, word, sizeof entry.path);
        }
        entry.type = type;
        entry.filter = filter;
    }
    return ListReadResult{ListProblem::None, count, 0, 0, 0};
}

void DescribeListProblem(const ListReadResult& result, const char* fileName, char* out, size_t outSize) {
    static const char* const WORD_NAMES[5] = {"", "label", "type", "filter", "image path"};
    const char* wordName = result.word >= 1 && result.word <= 4 ? WORD_NAMES[result.word] : "";
    switch (result.problem) {
        case ListProblem::None:
            std::snprintf(out, outSize, "The texture list %s is fine.", fileName);
            break;
        case ListProblem::Unreadable:
            std::snprintf(out, outSize, "Cannot read the texture list %s: %s.", fileName,
                          std::strerror(result.systemError != 0 ? result.systemError : EIO));
            break;
        case ListProblem::NoCount:
            std::snprintf(out, outSize, "The texture list %s does not begin with the number of textures.", fileName);
            break;
        case ListProblem::TooManyEntries:
            std::snprintf(out, outSize, "The texture list %s names %ld textures; at most %d can be loaded.", fileName,
                          static_cast<long>(result.count), TEXTURE_TABLE_CAPACITY);
            break;
        case ListProblem::WordTooLong:
            std::snprintf(out, outSize,
                          "The texture list %s has a word of more than %d characters: the %s of entry %ld.", fileName,
                          LIST_WORD_SIZE - 1, wordName, static_cast<long>(result.entry));
            break;
        case ListProblem::EndsEarly:
            if (result.word == 1) {
                std::snprintf(out, outSize, "The texture list %s ends early: it names %ld textures, but has only %ld.",
                              fileName, static_cast<long>(result.count), static_cast<long>(result.entry - 1));
            } else {
                std::snprintf(out, outSize, "The texture list %s ends early: entry %ld of %ld has no %s.", fileName,
                              static_cast<long>(result.entry), static_cast<long>(result.count), wordName);
            }
            break;
    }
}

// --- The entries' images ------------------------------------------------------

namespace {

bool IsUploadable(const Image* image) {
    return image->pixels != nullptr && image->width > 0 && image->height > 0 &&
           (image->bytesPerPixel == 3 || image->bytesPerPixel == 4) &&
           image->rowStride == image->width * image->bytesPerPixel;
}

}  // namespace

Image* ReadEntryImage(const TextureListEntry& entry, WindowHandle owner, bool* jpegFailed) {
    *jpegFailed = false;
    Image* image = nullptr;
    switch (entry.type) {
        case TextureType::None:
            return nullptr;
        case TextureType::Jpeg:
            image = ReadJpegImage(entry.path, owner);
            *jpegFailed = image == nullptr;
            break;
        case TextureType::Bitmap:
            image = ReadDibImage(entry.path, owner);
            break;
        case TextureType::Tga:
            image = NewImage();
            if (image != nullptr && !ReadTgaImage(entry.path, image)) {
                FreeImage(image);
                image = nullptr;
                std::fprintf(stderr, "Vernaskel: %s is not an uncompressed 24- or 32-bit TGA image; "
                             "its texture stays empty.\n", entry.path);
            }
            break;
    }
    // A reader that failed is treated like an entry without a type.
    if (image != nullptr && !IsUploadable(image)) {
        FreeImage(image);
        image = nullptr;
    }
    return image;
}
