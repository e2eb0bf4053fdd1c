#include "tools/rulegen/image_files.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace {

void PutLe16(std::vector<uint8_t>* out, unsigned value) {
    out->push_back(static_cast<uint8_t>(value & 0xFF));
    out->push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void PutLe32(std::vector<uint8_t>* out, uint32_t value) {
    PutLe16(out, value & 0xFFFF);
    PutLe16(out, value >> 16);
}

bool WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = path + ": cannot be created: " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        *error = path + ": cannot be written completely";
        return false;
    }
    return true;
}

// Appends one row as blue, green, red triples.
void PutRowBgr(std::vector<uint8_t>* out, const RgbPicture& picture, int row) {
    const uint8_t* rgb = picture.rgb.data() + static_cast<size_t>(row) * picture.width * 3;
    for (int x = 0; x < picture.width; ++x, rgb += 3) {
        out->push_back(rgb[2]);
        out->push_back(rgb[1]);
        out->push_back(rgb[0]);
    }
}

struct JpegErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void TrapJpegError(j_common_ptr info) {
    JpegErrorTrap* trap = reinterpret_cast<JpegErrorTrap*>(info->err);
    (*info->err->format_message)(info, trap->message);
    std::longjmp(trap->jump, 1);
}

}  // namespace

bool WriteBmpFile(const std::string& path, const RgbPicture& picture, std::string* error) {
    // A bitmap stores its bottom row first, and the program's bitmap reader
    // hands the rows over in file order: so row 0 (t = 0, the bottom) is
    // stored first, and the file looks upright in any image viewer too.
    const uint32_t rowBytes = (static_cast<uint32_t>(picture.width) * 3u + 3u) & ~3u;
    const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(picture.height);
    std::vector<uint8_t> bytes;
    bytes.reserve(54 + pixelBytes);
    bytes.push_back('B');
    bytes.push_back('M');
    PutLe32(&bytes, 54 + pixelBytes);  // file size
    PutLe32(&bytes, 0);                // reserved
    PutLe32(&bytes, 54);               // offset of the pixels
    PutLe32(&bytes, 40);               // BITMAPINFOHEADER
    PutLe32(&bytes, static_cast<uint32_t>(picture.width));
    PutLe32(&bytes, static_cast<uint32_t>(picture.height));  // positive: bottom row first
    PutLe16(&bytes, 1);                                      // planes
    PutLe16(&bytes, 24);                                     // bits per pixel
    PutLe32(&bytes, 0);                                      // BI_RGB
    PutLe32(&bytes, pixelBytes);
    PutLe32(&bytes, 2835);  // 72 dots per inch, both ways
    PutLe32(&bytes, 2835);
    PutLe32(&bytes, 0);  // no colour table
    PutLe32(&bytes, 0);
    for (int row = 0; row < picture.height; ++row) {
        PutRowBgr(&bytes, picture, row);
        for (uint32_t pad = static_cast<uint32_t>(picture.width) * 3u; pad < rowBytes; ++pad) bytes.push_back(0);
    }
    return WriteWhole(path, bytes, error);
}

bool WriteTgaFile(const std::string& path, const RgbPicture& picture, std::string* error) {
    // The program's TGA reader keeps the stored row order and ignores the
    // origin bits: the first stored row becomes t = 0. Row 0 is therefore
    // stored first, and the descriptor says "bottom-left origin" (bit 5
    // clear), which is what that order means, so viewers show the file
    // upright as well.
    std::vector<uint8_t> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // uncompressed true colour, origin (0, 0)
    PutLe16(&bytes, static_cast<unsigned>(picture.width));
    PutLe16(&bytes, static_cast<unsigned>(picture.height));
    bytes.push_back(24);  // bits per pixel
    bytes.push_back(0);   // descriptor: no alpha bits, bottom-left origin
    bytes.reserve(bytes.size() + picture.rgb.size());
    for (int row = 0; row < picture.height; ++row) PutRowBgr(&bytes, picture, row);
    return WriteWhole(path, bytes, error);
}

bool WriteJpegFile(const std::string& path, const RgbPicture& picture, int quality, std::string* error) {
    // A JPEG decodes top row first, and the program uploads the decoded rows
    // as they come: the first decoded row becomes t = 0. So row 0 (t = 0,
    // the bottom of the strips) must be the first row written, which makes
    // the file look upside down in an image viewer. That is intended.
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = path + ": cannot be created: " + std::strerror(errno);
        return false;
    }
    jpeg_compress_struct info;
    JpegErrorTrap trap;
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = TrapJpegError;
    trap.message[0] = '\0';
    if (setjmp(trap.jump) != 0) {
        jpeg_destroy_compress(&info);
        std::fclose(file);
        *error = path + ": " + trap.message;
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // Full-resolution colour: the red scales' thin marks would bleed with
    // the usual halved chroma.
    for (int component = 0; component < info.num_components; ++component) {
        info.comp_info[component].h_samp_factor = 1;
        info.comp_info[component].v_samp_factor = 1;
    }
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.rgb.data() +
                                            static_cast<size_t>(info.next_scanline) * picture.width * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    if (std::fclose(file) != 0) {
        *error = path + ": cannot be written completely";
        return false;
    }
    return true;
}

bool WritePictureFile(const std::string& path, ImageFormat format, const RgbPicture& picture, std::string* error) {
    constexpr int JPEG_QUALITY = 95;
    switch (format) {
    case ImageFormat::Bmp: return WriteBmpFile(path, picture, error);
    case ImageFormat::Tga: return WriteTgaFile(path, picture, error);
    case ImageFormat::Jpeg: return WriteJpegFile(path, picture, JPEG_QUALITY, error);
    }
    return false;
}
