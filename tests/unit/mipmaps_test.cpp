// The program's mipmap levels against those of GLU's gluBuild2DMipmaps: byte
// for byte, read back from the GL where GLU is there, and as checksums that
// GLU's levels gave on Linux everywhere else (the Windows build runs the
// groups without a GL context under Wine).
#include "images/mipmaps.h"
#include "render/mipmap_upload.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "images/image.h"
#include "images/jpeg_reader.h"
#include "images/tga_reader.h"
#include "tests/support/program.h"

namespace {

TEST(MipmapSizes, SidesGoToTheNearestPowerOfTwoAsInGlu) {
    const int sides[][2] = {{0, 1}, {1, 1}, {2, 2}, {3, 4}, {5, 4}, {6, 8}, {380, 256}, {409, 512},
                            {767, 512}, {768, 1024}, {2100, 2048}, {25000, 32768}};
    for (const auto& side : sides) EXPECT_EQ(NearestPowerOfTwo(side[0]), side[1]) << side[0];
    EXPECT_EQ(MipmapLevelCount(2048, 256), 11);
    EXPECT_EQ(MipmapLevelCount(1, 8), 3);
    EXPECT_EQ(MipmapLevelCount(1, 1), 0);
}

// A seeded picture of noise, the same on every platform.
struct NoisePicture {
    int width;
    int height;
    int components;
    // Level 0 as GLU sizes it where 16384 is the largest texture (llvmpipe):
    // with proxy textures, or, on a GL older than 1.1 (as a web GL reads),
    // clamped to the largest size.
    bool clamped;
    int fittedWidth;
    int fittedHeight;
    uint64_t checksum;  // FNV-1a of every level's bytes, level 0 first, as GLU made them on Linux
};

// Odd and even sides, powers of two and not, single rows and columns, the
// default textures' sizes, and pictures wider than the largest texture: an
// exact 2:1 shrink, and boxes of several rows, where GLU's edge pointers
// drift; clamped, boxes of several rows less than a column wide.
constexpr NoisePicture CASES[] = {
    {2100, 380, 3, false, 2048, 256, 0x5fdbca51ffaffe2eu},
    {2100, 409, 3, false, 2048, 512, 0x68840d278f7848dbu},
    {256, 64, 4, false, 256, 64, 0x887d101954fb4149u},
    {64, 256, 3, false, 64, 256, 0xefeacab785fed188u},
    {7, 5, 3, false, 8, 4, 0x5f15bc4643283619u},
    {5, 7, 4, false, 4, 8, 0x6f1433969a787646u},
    {1, 9, 3, false, 1, 8, 0x7d3dec61fcb891c0u},
    {9, 1, 4, false, 8, 1, 0xf87b38c6cf34ac55u},
    {13, 1, 3, false, 16, 1, 0x9564ed71ecb0cbefu},
    {1, 2, 3, false, 1, 2, 0x2ce8b27a0ae995d8u},
    {1, 1, 4, false, 1, 1, 0x6adbf26d15ce7545u},
    {3, 3, 4, false, 4, 4, 0x963e309d71c7427fu},
    {767, 3, 3, false, 512, 4, 0xce8ca90121e1ca2eu},
    {768, 6, 4, false, 1024, 8, 0xc1dd69126a37aa5fu},
    {100, 200, 3, false, 128, 256, 0x0818fa51d43900cau},
    {33, 65, 4, false, 32, 64, 0xd497c61debfd9bd6u},
    {25000, 3, 3, false, 16384, 2, 0x6eedce73c7fe8607u},
    {32768, 2, 3, false, 16384, 1, 0xc622d69803e1f2a9u},
    {30000, 40, 3, false, 16384, 16, 0xa743dbd38486a3dbu},
    {3, 30000, 3, true, 4, 16384, 0x7409cff8f920614fu},
    {3, 40000, 4, true, 4, 16384, 0xd3f33d3bd0da1b7cu},
    {40000, 5, 3, true, 16384, 4, 0xf4f7b67df611e8aeu},
};

std::string Name(const NoisePicture& c) {
    return std::to_string(c.width) + " x " + std::to_string(c.height) + " x " + std::to_string(c.components);
}

// In a buffer with the zeroed spare row and pixel that the program's readers
// give; the caller frees it.
Image MakeNoise(const NoisePicture& c, uint64_t seed) {
    const int stride = c.width * c.components;
    Image image{c.width, c.height, c.components, stride,
                AllocateImagePixels(static_cast<size_t>(c.height), static_cast<size_t>(stride),
                                    static_cast<size_t>(c.components))};
    uint64_t state = seed;
    for (size_t k = 0; k < static_cast<size_t>(stride) * static_cast<size_t>(c.height); ++k) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        image.pixels[k] = static_cast<uint8_t>(state >> 56);
    }
    return image;
}

struct Levels {
    std::vector<int> widths;
    std::vector<int> heights;
    std::vector<std::vector<uint8_t>> bytes;
};

uint64_t Checksum(const Levels& levels) {
    uint64_t hash = 0xcbf29ce484222325u;
    for (const auto& level : levels.bytes) {
        for (uint8_t byte : level) hash = (hash ^ byte) * 0x100000001b3u;
    }
    return hash;
}

// Rows as the builder hands them on; each level's must come in order.
void CollectRows(const MipmapRows& rows, void* context) {
    auto* levels = static_cast<Levels*>(context);
    const size_t level = static_cast<size_t>(rows.level);
    if (levels->bytes.size() <= level) {
        levels->widths.resize(level + 1);
        levels->heights.resize(level + 1);
        levels->bytes.resize(level + 1);
    }
    levels->widths[level] = rows.width;
    levels->heights[level] = rows.height;
    std::vector<uint8_t>& bytes = levels->bytes[level];
    const size_t rowBytes = static_cast<size_t>(rows.width) * static_cast<size_t>(rows.components);
    if (bytes.size() != static_cast<size_t>(rows.firstRow) * rowBytes) {
        ADD_FAILURE() << "level " << level << ": rows from " << rows.firstRow << " handed on out of order";
    }
    bytes.insert(bytes.end(), rows.pixels, rows.pixels + rowBytes * static_cast<size_t>(rows.rowCount));
}

Levels MakeLevels(const Image& image, int width, int height) {
    Levels levels;
    const MipmapPicture picture{image.pixels, image.width, image.height, image.bytesPerPixel,
                                static_cast<size_t>(image.rowStride)};
    EXPECT_TRUE(MakeMipmapLevels(picture, width, height, CollectRows, &levels));
    return levels;
}

TEST(MipmapLevels, NoisePicturesGiveGlusLevels) {
    for (size_t k = 0; k < std::size(CASES); ++k) {
        const NoisePicture& c = CASES[k];
        Image image = MakeNoise(c, k + 1);
        const Levels levels = MakeLevels(image, c.fittedWidth, c.fittedHeight);
        std::free(image.pixels);
        ASSERT_EQ(levels.bytes.size(), static_cast<size_t>(MipmapLevelCount(c.fittedWidth, c.fittedHeight) + 1))
            << Name(c);
        for (size_t level = 0; level < levels.bytes.size(); ++level) {
            EXPECT_EQ(levels.bytes[level].size(),
                      static_cast<size_t>(levels.widths[level] * levels.heights[level] * c.components))
                << Name(c) << ", level " << level;
        }
        EXPECT_EQ(Checksum(levels), c.checksum) << Name(c) << std::hex << ": 0x" << Checksum(levels);
    }
}

// --- Against GLU itself, in a GL context --------------------------------------

class MipmapsAgainstGlu : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CreateProgramWindow(64, 64)); }
    void TearDown() override { ResetProgramState(); }

    // Every level of the bound texture, read back as the picture's format.
    static Levels ReadBack(int components) {
        Levels levels;
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        for (int level = 0;; ++level) {
            GLint width = 0;
            GLint height = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
            if (width == 0 || height == 0) break;
            levels.widths.push_back(width);
            levels.heights.push_back(height);
            levels.bytes.emplace_back(static_cast<size_t>(width) * static_cast<size_t>(height) *
                                      static_cast<size_t>(components));
            glGetTexImage(GL_TEXTURE_2D, level, components == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE,
                          levels.bytes.back().data());
        }
        return levels;
    }

    // What GLU uploads and what the builder uploads, each into a texture of
    // its own with the unpack alignment the program sets.
    static void Upload(const Image& image, bool glu, Levels* levels) {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        const GLenum format = image.bytesPerPixel == 4 ? GL_RGBA : GL_RGB;
        if (glu) {
            EXPECT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, image.bytesPerPixel, image.width, image.height, format,
                                        GL_UNSIGNED_BYTE, image.pixels), 0);
        } else {
            EXPECT_TRUE(BuildMipmaps(image.bytesPerPixel, image.width, image.height, format, image.pixels));
        }
        *levels = ReadBack(image.bytesPerPixel);
        glDeleteTextures(1, &name);
        // A proxy wider than the largest texture is an error as well as a
        // no, for GLU and the builder alike.
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    static void ExpectSameLevels(const Levels& glu, const Levels& ours, const std::string& name) {
        ASSERT_EQ(glu.widths, ours.widths) << name;
        ASSERT_EQ(glu.heights, ours.heights) << name;
        for (size_t level = 0; level < glu.bytes.size(); ++level) {
            const auto& a = glu.bytes[level];
            const auto& b = ours.bytes[level];
            size_t differing = 0;
            size_t first = 0;
            for (size_t k = 0; k < a.size(); ++k) {
                if (a[k] != b[k] && differing++ == 0) first = k;
            }
            EXPECT_EQ(differing, 0u) << name << ", level " << level << ": first at byte " << first << ", GLU "
                                     << int{a[first]} << ", builder " << int{b[first]};
        }
    }
};

// The test suite runs this once more on a GL that says it is 1.0
// (MESA_GL_VERSION_OVERRIDE), where GLU and the builder clamp sizes.
TEST_F(MipmapsAgainstGlu, NoisePicturesUploadGlusBytes) {
    const bool clamping = std::strtod(reinterpret_cast<const char*>(glGetString(GL_VERSION)), nullptr) < 1.1;
    for (size_t k = 0; k < std::size(CASES); ++k) {
        const NoisePicture& c = CASES[k];
        if (c.clamped != clamping) continue;
        Image image = MakeNoise(c, k + 1);
        Levels glu;
        Levels ours;
        Upload(image, true, &glu);
        Upload(image, false, &ours);
        std::free(image.pixels);
        ASSERT_FALSE(glu.widths.empty()) << Name(c);
        EXPECT_EQ(glu.widths[0], c.fittedWidth) << Name(c);
        EXPECT_EQ(glu.heights[0], c.fittedHeight) << Name(c);
        EXPECT_EQ(Checksum(glu), c.checksum) << Name(c) << std::hex << ": GLU gives 0x" << Checksum(glu);
        ExpectSameLevels(glu, ours, Name(c));
    }
}

TEST_F(MipmapsAgainstGlu, DefaultTexturesUploadGlusBytes) {
    const std::string data = VERNASKEL_DATA_DIR;
    Image tga{};
    ASSERT_TRUE(ReadTgaImage((data + "/rule0.tga").c_str(), &tga));
    Image* jpeg = ReadJpegImage((data + "/rule1.jpg").c_str(), nullptr);
    ASSERT_NE(jpeg, nullptr);
    for (const Image* image : {static_cast<const Image*>(&tga), static_cast<const Image*>(jpeg)}) {
        Levels glu;
        Levels ours;
        Upload(*image, true, &glu);
        Upload(*image, false, &ours);
        ExpectSameLevels(glu, ours, std::to_string(image->width) + " x " + std::to_string(image->height));
    }
    ReleaseImagePixels(&tga);
    FreeImage(jpeg);
}

}  // namespace
