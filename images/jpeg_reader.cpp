#include "images/jpeg_reader.h"

#include <cstdlib>

// jerror.h's macros need the library's declarations first.
#include <jerror.h>

#include "platform/platform.h"

namespace {

// The "case" number of the library's out-of-memory message when the reader
// itself cannot have the memory of a picture.
constexpr int PICTURE_MEMORY_CASE = 1000;

// Adobe's CMYK JPEGs (those with an APP14 marker) store inverted ink values,
// so that 255 means no ink; others store the ink itself.
void ConvertCmykRow(const JSAMPLE* cmyk, uint8_t* rgb, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned ink = inverted ? cmyk[c] : 255u - cmyk[c];
            rgb[c] = static_cast<uint8_t>((ink * k + 127u) / 255u);
        }
    }
}

}  // namespace

Image* ReadJpegImage(const char* path, WindowHandle owner) {
    FILE* file = PlatformOpenFile(path, "rb");
    if (file == nullptr) {
        PlatformShowMessageBox(owner, "Unable to load JPG File!", "Error");
        return nullptr;
    }
    // The library's standard error manager: a fatal error prints the
    // library's message and ends the process with status 1.
    jpeg_decompress_struct decompressor;
    jpeg_error_mgr errorManager;
    decompressor.err = jpeg_std_error(&errorManager);
    jpeg_create_decompress(&decompressor);
    jpeg_stdio_src(&decompressor, file);
    Image* image = NewImage();
    if (image == nullptr) ERREXIT1(&decompressor, JERR_OUT_OF_MEMORY, PICTURE_MEMORY_CASE);
    DecodeJpegImage(&decompressor, image);
    jpeg_destroy_decompress(&decompressor);
    std::fclose(file);
    return image;
}

void DecodeJpegImage(jpeg_decompress_struct* decompressor, Image* image) {
    jpeg_read_header(decompressor, TRUE);
    // Always three components: the library widens greyscale to RGB itself,
    // CMYK and YCCK come out as CMYK and are converted below. Colour spaces
    // it cannot turn into RGB make jpeg_start_decompress refuse the file.
    const bool fromCmyk = decompressor->jpeg_color_space == JCS_CMYK || decompressor->jpeg_color_space == JCS_YCCK;
    decompressor->out_color_space = fromCmyk ? JCS_CMYK : JCS_RGB;
    if (uint64_t{decompressor->image_width} * decompressor->image_height > JPEG_MAX_PIXELS) {
        ERREXIT1(decompressor, JERR_OUT_OF_MEMORY, PICTURE_MEMORY_CASE);
    }
    jpeg_start_decompress(decompressor);

    const JDIMENSION width = decompressor->output_width;
    const JDIMENSION height = decompressor->output_height;
    const size_t stride = size_t{width} * 3u;
    image->width = static_cast<int32_t>(width);
    image->height = static_cast<int32_t>(height);
    image->bytesPerPixel = 3;
    image->rowStride = static_cast<int32_t>(stride);
    // Zeroed: should the source stop giving rows, the rest stay black rather
    // than undefined.
    image->pixels = AllocateImagePixels(height, stride, 3);
    if (image->pixels == nullptr) ERREXIT1(decompressor, JERR_OUT_OF_MEMORY, PICTURE_MEMORY_CASE);

    // Row pointers and the CMYK row come from the library's image pool, which
    // jpeg_finish_decompress, jpeg_abort and jpeg_destroy release: nothing
    // leaks when an error manager jumps out.
    j_common_ptr common = reinterpret_cast<j_common_ptr>(decompressor);
    if (fromCmyk) {
        JSAMPARRAY cmykRow = (*decompressor->mem->alloc_sarray)(common, JPOOL_IMAGE, width * 4u, 1);
        const bool inverted = decompressor->saw_Adobe_marker != 0;
        while (decompressor->output_scanline < height) {
            const JDIMENSION row = decompressor->output_scanline;
            if (jpeg_read_scanlines(decompressor, cmykRow, 1) == 0) break;
            ConvertCmykRow(cmykRow[0], image->pixels + size_t{row} * stride, width, inverted);
        }
    } else {
        JSAMPARRAY rows = static_cast<JSAMPARRAY>(
            (*decompressor->mem->alloc_small)(common, JPOOL_IMAGE, size_t{height} * sizeof(JSAMPROW)));
        for (JDIMENSION r = 0; r < height; ++r) rows[r] = image->pixels + size_t{r} * stride;
        JDIMENSION rowsRead = 0;
        while (decompressor->output_scanline < height) {
            const JDIMENSION got = jpeg_read_scanlines(decompressor, rows + rowsRead, height - rowsRead);
            if (got == 0) break;
            rowsRead += got;
        }
    }
    // A suspending source that stopped early leaves the decompression
    // unfinished; it is abandoned rather than finished.
    if (decompressor->output_scanline < height) {
        jpeg_abort_decompress(decompressor);
    } else {
        jpeg_finish_decompress(decompressor);
    }
}
