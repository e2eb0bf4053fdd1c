#include "tools/rulegen/photo_files.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "images/dib_reader.h"
#include "images/image.h"
#include "images/jpeg_reader.h"

namespace {

// Photographs larger than this are no photographs anyone takes of a rule.
constexpr long MAX_FILE_BYTES = 256L << 20;
constexpr uint64_t MAX_PIXELS = uint64_t{1} << 26;

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = "cannot be opened";
        return false;
    }
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = ok && size >= 0 && size <= MAX_FILE_BYTES && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes->resize(static_cast<size_t>(size));
        ok = std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
    }
    std::fclose(file);
    if (!ok) *error = size > MAX_FILE_BYTES ? "is too large for a photograph" : "cannot be read";
    return ok;
}

unsigned Get16(const uint8_t* at, bool bigEndian) {
    return bigEndian ? (at[0] << 8u) | at[1] : at[0] | (at[1] << 8u);
}

uint32_t Get32(const uint8_t* at, bool bigEndian) {
    return bigEndian ? (uint32_t{Get16(at, true)} << 16) | Get16(at + 2, true)
                     : Get16(at, false) | (uint32_t{Get16(at + 2, false)} << 16);
}

// The orientation tag of a TIFF block (the Exif segment after its
// "Exif\0\0"), or 1.
int TiffOrientation(const uint8_t* tiff, size_t size) {
    if (size < 8) return 1;
    bool bigEndian = false;
    if (tiff[0] == 'M' && tiff[1] == 'M') {
        bigEndian = true;
    } else if (!(tiff[0] == 'I' && tiff[1] == 'I')) {
        return 1;
    }
    if (Get16(tiff + 2, bigEndian) != 42) return 1;
    const uint32_t ifd = Get32(tiff + 4, bigEndian);
    if (ifd > size || size - ifd < 2) return 1;
    const unsigned count = Get16(tiff + ifd, bigEndian);
    for (unsigned k = 0; k < count; ++k) {
        const size_t entry = size_t{ifd} + 2 + size_t{k} * 12;
        if (entry + 12 > size) return 1;
        const uint8_t* at = tiff + entry;
        // Tag 0x0112, type SHORT, one value: the value sits in the entry.
        if (Get16(at, bigEndian) == 0x0112 && Get16(at + 2, bigEndian) == 3 && Get32(at + 4, bigEndian) == 1) {
            const unsigned value = Get16(at + 8, bigEndian);
            return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
        }
    }
    return 1;
}

struct JpegTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void TrapError(j_common_ptr info) {
    JpegTrap* trap = reinterpret_cast<JpegTrap*>(info->err);
    (*info->err->format_message)(info, trap->message);
    std::longjmp(trap->jump, 1);
}

void IgnoreMessage(j_common_ptr, int) {}

// The decoding lives in a function of its own with no C++ objects, so that
// the library's error can jump out of it.
bool DecodeJpeg(const std::vector<uint8_t>& bytes, Image* image, char* message) {
    jpeg_decompress_struct info;
    JpegTrap trap;
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = TrapError;
    trap.manager.emit_message = IgnoreMessage;
    trap.message[0] = '\0';
    if (setjmp(trap.jump) != 0) {
        jpeg_destroy_decompress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", trap.message);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    DecodeJpegImage(&info, image);
    jpeg_destroy_decompress(&info);
    return true;
}

bool ReadJpeg(const std::vector<uint8_t>& bytes, cv::Mat* rgb, std::string* error) {
    Image* image = NewImage();
    char message[JMSG_LENGTH_MAX] = {0};
    if (image == nullptr || !DecodeJpeg(bytes, image, message)) {
        *error = std::string("is not a JPEG that can be decoded: ") + message;
        FreeImage(image);
        return false;
    }
    const cv::Mat stored(image->height, image->width, CV_8UC3, image->pixels, static_cast<size_t>(image->rowStride));
    *rgb = ApplyExifOrientation(stored, JpegExifOrientation(bytes.data(), bytes.size()));
    FreeImage(image);
    return true;
}

bool ReadPng(const std::vector<uint8_t>& bytes, cv::Mat* rgb, std::string* error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        *error = std::string("is not a PNG that can be decoded: ") + image.message;
        return false;
    }
    if (uint64_t{image.width} * image.height > MAX_PIXELS) {
        png_image_free(&image);
        *error = "has too many pixels for a photograph";
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    cv::Mat pixels(static_cast<int>(image.height), static_cast<int>(image.width), CV_8UC3);
    if (!png_image_finish_read(&image, nullptr, pixels.data, static_cast<png_int_32>(pixels.step[0]), nullptr)) {
        *error = std::string("is not a PNG that can be decoded: ") + image.message;
        png_image_free(&image);
        return false;
    }
    *rgb = pixels;
    return true;
}

bool ReadBitmap(const std::vector<uint8_t>& bytes, cv::Mat* rgb, std::string* error) {
    Image* image = DecodeDibImage(bytes.data(), bytes.size(), nullptr, static_cast<int64_t>(MAX_PIXELS));
    if (image == nullptr) {
        *error = "is not a bitmap that can be decoded";
        return false;
    }
    // Bitmaps come bottom row first.
    const cv::Mat stored(image->height, image->width, image->bytesPerPixel == 4 ? CV_8UC4 : CV_8UC3, image->pixels,
                         static_cast<size_t>(image->rowStride));
    cv::Mat upright;
    cv::flip(stored, upright, 0);
    if (image->bytesPerPixel == 4) {
        cv::Mat three;
        cv::Mat channels[4];
        cv::split(upright, channels);
        cv::merge(channels, 3, three);
        upright = three;
    }
    *rgb = upright.clone();
    FreeImage(image);
    return true;
}

}  // namespace

int JpegExifOrientation(const uint8_t* file, size_t size) {
    if (size < 4 || file[0] != 0xFF || file[1] != 0xD8) return 1;
    size_t at = 2;
    while (at + 4 <= size) {
        if (file[at] != 0xFF) return 1;
        const uint8_t marker = file[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) return 1;  // the picture data begins: no more segments
        const size_t length = Get16(file + at + 2, true);
        if (length < 2 || at + 2 + length > size) return 1;
        const uint8_t* data = file + at + 4;
        const size_t dataSize = length - 2;
        if (marker == 0xE1 && dataSize >= 6 && data[0] == 'E' && data[1] == 'x' && data[2] == 'i' &&
            data[3] == 'f' && data[4] == 0 && data[5] == 0) {
            return TiffOrientation(data + 6, dataSize - 6);
        }
        at += 2 + length;
    }
    return 1;
}

cv::Mat ApplyExifOrientation(const cv::Mat& stored, int orientation) {
    cv::Mat seen;
    switch (orientation) {
    case 2: cv::flip(stored, seen, 1); break;
    case 3: cv::rotate(stored, seen, cv::ROTATE_180); break;
    case 4: cv::flip(stored, seen, 0); break;
    case 5: cv::transpose(stored, seen); break;
    case 6: cv::rotate(stored, seen, cv::ROTATE_90_CLOCKWISE); break;
    case 7:
        cv::transpose(stored, seen);
        cv::rotate(seen, seen, cv::ROTATE_180);
        break;
    case 8: cv::rotate(stored, seen, cv::ROTATE_90_COUNTERCLOCKWISE); break;
    default: seen = stored.clone(); break;
    }
    return seen;
}

bool ReadPhotoFile(const std::string& path, cv::Mat* rgb, std::string* error) {
    std::vector<uint8_t> bytes;
    std::string problem;
    bool ok = ReadWholeFile(path, &bytes, &problem);
    if (ok) {
        const uint8_t* b = bytes.data();
        if (bytes.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) {
            ok = ReadJpeg(bytes, rgb, &problem);
        } else if (bytes.size() >= 8 && png_sig_cmp(b, 0, 8) == 0) {
            ok = ReadPng(bytes, rgb, &problem);
        } else if (bytes.size() >= 2 && b[0] == 'B' && b[1] == 'M') {
            ok = ReadBitmap(bytes, rgb, &problem);
        } else {
            ok = false;
            problem = "is no picture: not a JPEG, PNG or bitmap file";
        }
    }
    if (ok && (rgb->cols < 64 || rgb->rows < 64)) {
        ok = false;
        problem = "is too small a picture to show a rule";
    }
    if (!ok) *error = path + " " + problem;
    return ok;
}
