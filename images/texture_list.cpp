#include "images/texture_list.h"

#include <GL/gl.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_window.h"
#include "images/dib_reader.h"
#include "images/image.h"
#include "images/jpeg_reader.h"
#include "images/mipmaps.h"
#include "images/tga_reader.h"
#include "platform/platform.h"
#include "reading/scale_map.h"
#include "render/bitmap_font.h"
#include "render/view.h"

TextureTable textureTable = {};
int32_t textureCount = 0;
float LoadProgress = 0.0f;

uint32_t TextureName(int index) {
    if (index < 0 || index >= TEXTURE_TABLE_CAPACITY) return 0;
    return textureTable.names[index];
}

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

// --- The loading screen --------------------------------------------------------

namespace {

constexpr double FRAME_LEFT = -0.1;
constexpr double FRAME_RIGHT = 0.1;
constexpr double FRAME_BOTTOM = -0.08;
constexpr double FRAME_TOP = -0.07;
constexpr double BAR_RED = 0.9;
constexpr double BAR_BLUE = 0.1;
constexpr float CAPTION_GREY = 140.0f;  // saturates to white
constexpr int32_t CAPTION_X = 45;
constexpr double CAPTION_RISE = 100.0;  // caption y is this far above the client's bottom

void DrawLine(double x0, double y0, double x1, double y1) {
    glBegin(GL_LINES);
    glVertex3d(x0, y0, LOADING_DEPTH);
    glVertex3d(x1, y1, LOADING_DEPTH);
    glEnd();
}

float SegmentWidth() { return static_cast<float>(0.2 / textureCount); }
float ProgressIncrement() { return static_cast<float>(1.0 / textureCount); }

void DrawSegment(float n) {
    const float w = SegmentWidth();
    const double right = static_cast<double>(w) * n - 0.1;
    const double left = right - w;
    glBegin(GL_QUADS);
    glVertex3d(left, FRAME_BOTTOM, LOADING_DEPTH);
    glVertex3d(left, FRAME_TOP, LOADING_DEPTH);
    glVertex3d(right, FRAME_TOP, LOADING_DEPTH);
    glVertex3d(right, FRAME_BOTTOM, LOADING_DEPTH);
    glEnd();
}

// The whole loading picture with the first `segments` segments of the bar.
// A presented back buffer holds nothing certain, so every picture is drawn
// in full before it is presented.
void DrawLoadingScreen(int32_t segments) {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3d(BAR_RED, 0.0, 0.0);
    SetupOrthographicProjection();
    DrawLine(FRAME_LEFT, FRAME_BOTTOM, FRAME_LEFT, FRAME_TOP);
    DrawLine(FRAME_LEFT, FRAME_TOP, FRAME_RIGHT, FRAME_TOP);
    DrawLine(FRAME_RIGHT, FRAME_TOP, FRAME_RIGHT, FRAME_BOTTOM);
    DrawLine(FRAME_LEFT, FRAME_BOTTOM, FRAME_RIGHT, FRAME_BOTTOM);
    PrintText(CAPTION_X, static_cast<int32_t>(viewState.clientHeight - CAPTION_RISE), CAPTION_GREY, CAPTION_GREY,
              CAPTION_GREY, "L o a d i n g . . .");
    // Each segment keeps the green that the progress had when it was first
    // drawn; the progress runs from 0 once, so the sums repeat exactly.
    float green = 0.0f;
    for (int32_t k = 1; k <= segments; ++k) {
        glColor3d(BAR_RED, green, BAR_BLUE);
        DrawSegment(static_cast<float>(k));
        green += ProgressIncrement();
    }
}

[[noreturn]] void FailLoading(const char* text) {
    PlatformShowMessageBox(appWindow.window, text, "Error");
    std::exit(1);
}

bool IsUploadable(const Image* image) {
    return image->pixels != nullptr && image->width > 0 && image->height > 0 &&
           (image->bytesPerPixel == 3 || image->bytesPerPixel == 4) &&
           image->rowStride == image->width * image->bytesPerPixel;
}

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

Image* ReadEntryImage(const TextureListEntry& entry) {
    Image* image = nullptr;
    switch (entry.type) {
        case TextureType::None:
            return nullptr;
        case TextureType::Jpeg:
            image = ReadJpegImage(entry.path);
            if (image == nullptr) FailLoading("Unable to load JPG texture");
            break;
        case TextureType::Bitmap:
            image = ReadDibImage(entry.path);
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

void DrawProgressStep(float n) {
    DrawLoadingScreen(static_cast<int32_t>(n) - 1);
    glColor3d(BAR_RED, LoadProgress, BAR_BLUE);
    DrawSegment(n);
    LoadProgress += ProgressIncrement();
    PlatformSwapBuffers();
}

namespace {

// Opens the texture list: the one in the working directory, or, when there is
// none there, the default data installed with the program, whose image paths
// then count from the folder it is installed in. Ends the process with a
// message naming what was tried when neither can be opened.
FILE* OpenTextureList(char* fileName, size_t fileNameSize) {
    PlatformSetRelativeBase(nullptr);
    PlatformTranslatePath(TEXTURE_LIST_PATH, fileName, fileNameSize);
    errno = 0;
    FILE* file = PlatformOpenFile(TEXTURE_LIST_PATH, "r");
    const int localError = errno != 0 ? errno : ENOENT;
    if (file != nullptr) return file;

    char message[1024];
    const int written = std::snprintf(message, sizeof message, "Cannot open the texture list %s: %s.", fileName,
                                      std::strerror(localError));
    char folder[4096];
    if (localError == ENOENT && PlatformInstalledDataFolder(folder, sizeof folder)) {
        const std::string installed = std::string(folder) + "/" + fileName;
        errno = 0;
        file = std::fopen(installed.c_str(), "r");
        if (file != nullptr) {
            PlatformSetRelativeBase(folder);
            std::snprintf(fileName, fileNameSize, "%s", installed.c_str());
            return file;
        }
        std::snprintf(message + written, sizeof message - static_cast<size_t>(written),
                      " The default data installed with the program is not there either: %s: %s.", installed.c_str(),
                      std::strerror(errno != 0 ? errno : ENOENT));
    }
    FailLoading(message);
}

}  // namespace

void LoadTextureList() {
    char fileName[1024];
    char message[1024 + LIST_WORD_SIZE];
    FILE* file = OpenTextureList(fileName, sizeof fileName);
    TextureList list;
    const ListReadResult read = ReadTextureList(file, &list);
    std::fclose(file);
    if (read.problem != ListProblem::None) {
        DescribeListProblem(read, fileName, message, sizeof message);
        FailLoading(message);
    }

    textureCount = list.count;
    DrawLoadingScreen(0);
    if (textureCount <= 0) return;

    for (int32_t i = 0; i < textureCount; ++i) {
        const TextureListEntry& entry = list.entries[i];
        Image* image = ReadEntryImage(entry);
        DrawProgressStep(static_cast<float>(i + 1));
        MakeEntryTexture(image, entry.filter, &textureTable.names[i]);
        FreeImage(image);
    }
    // Where the generator wrote the textures, it wrote which scales they carry.
    LoadScaleMap();
}
