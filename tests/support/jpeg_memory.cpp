#include "tests/support/jpeg_memory.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "images/jpeg_reader.h"

namespace {

struct JumpingErrorManager {
    jpeg_error_mgr library;  // first, so that the library's pointer is ours
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JumpOnError(j_common_ptr common) {
    JumpingErrorManager* manager = reinterpret_cast<JumpingErrorManager*>(common->err);
    (*manager->library.format_message)(common, manager->message);
    std::longjmp(manager->jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

void CreateQuietDecompressor(jpeg_decompress_struct* decompressor, JumpingErrorManager* errorManager) {
    decompressor->err = jpeg_std_error(&errorManager->library);
    errorManager->library.error_exit = JumpOnError;
    errorManager->library.output_message = IgnoreMessage;
    jpeg_create_decompress(decompressor);
}

}  // namespace

std::vector<uint8_t> CompressJpeg(int width, int height, int components, const std::vector<uint8_t>& samples,
                                  int quality, bool progressive) {
    jpeg_compress_struct compressor;
    jpeg_error_mgr errorManager;
    compressor.err = jpeg_std_error(&errorManager);
    jpeg_create_compress(&compressor);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &buffer, &size);
    compressor.image_width = static_cast<JDIMENSION>(width);
    compressor.image_height = static_cast<JDIMENSION>(height);
    compressor.input_components = components;
    compressor.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, quality, TRUE);
    for (int c = 0; c < compressor.num_components; ++c) {
        compressor.comp_info[c].h_samp_factor = 1;
        compressor.comp_info[c].v_samp_factor = 1;
    }
    if (progressive) jpeg_simple_progression(&compressor);
    jpeg_start_compress(&compressor, TRUE);
    const size_t stride = static_cast<size_t>(width) * static_cast<size_t>(components);
    while (compressor.next_scanline < compressor.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + compressor.next_scanline * stride);
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    std::vector<uint8_t> result(buffer, buffer + size);
    jpeg_destroy_compress(&compressor);
    std::free(buffer);
    return result;
}

bool DecodeJpegFromMemory(const uint8_t* data, size_t size, Image* image, std::string* message) {
    jpeg_decompress_struct decompressor;
    JumpingErrorManager errorManager;
    CreateQuietDecompressor(&decompressor, &errorManager);
    if (setjmp(errorManager.jump) != 0) {
        jpeg_destroy_decompress(&decompressor);
        if (message != nullptr) *message = errorManager.message;
        return false;
    }
    jpeg_mem_src(&decompressor, data, static_cast<unsigned long>(size));
    DecodeJpegImage(&decompressor, image);
    jpeg_destroy_decompress(&decompressor);
    return true;
}

bool ReadJpegSize(const uint8_t* data, size_t size, uint32_t* width, uint32_t* height) {
    jpeg_decompress_struct decompressor;
    JumpingErrorManager errorManager;
    CreateQuietDecompressor(&decompressor, &errorManager);
    if (setjmp(errorManager.jump) != 0) {
        jpeg_destroy_decompress(&decompressor);
        return false;
    }
    jpeg_mem_src(&decompressor, data, static_cast<unsigned long>(size));
    jpeg_read_header(&decompressor, TRUE);
    *width = decompressor.image_width;
    *height = decompressor.image_height;
    jpeg_destroy_decompress(&decompressor);
    return true;
}
