// The mipmaps of the default textures: the program's builder against GLU's
// gluBuild2DMipmaps, which makes the same bytes. "Into a texture" is the
// whole step as start-up runs it, the driver's texture memory included;
// "levels" leaves the texture out (GLU uploads into a proxy, which the
// driver only measures; the builder's rows go nowhere), so that it shows the
// work of making the levels alone.
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "images/mipmaps.h"
#include "render/mipmap_upload.h"
#include "images/texture_list.h"
#include "tests/support/program.h"

namespace {

// The default list's image `index`, read by its reader, in a context of the
// program's window; null (the run marked as failed) when there is none.
Image* DefaultImage(benchmark::State& state, int index) {
    TextureList list;
    if (!ReadDefaultTextureList(state, &list)) return nullptr;
    if (index >= list.count || !CreateProgramWindowIn(DefaultDataFolder(), 64, 64)) {
        state.SkipWithError("no default texture or no headless window");
        return nullptr;
    }
    bool jpegFailed = false;
    Image* image = ReadEntryImage(list.entries[index], nullptr, &jpegFailed);
    if (image == nullptr) state.SkipWithError("the default texture cannot be read");
    return image;
}

GLenum FormatOf(const Image& image) { return image.bytesPerPixel == 4 ? GL_RGBA : GL_RGB; }

void DropRows(const MipmapRows&, void*) {}

enum class Builder { Glu, Program };

void RunIntoTexture(benchmark::State& state, Builder builder) {
    Image* image = DefaultImage(state, static_cast<int>(state.range(0)));
    if (image == nullptr) return;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (auto _ : state) {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        if (builder == Builder::Glu) {
            gluBuild2DMipmaps(GL_TEXTURE_2D, image->bytesPerPixel, image->width, image->height, FormatOf(*image),
                              GL_UNSIGNED_BYTE, image->pixels);
        } else {
            BuildMipmaps(image->bytesPerPixel, image->width, image->height, FormatOf(*image), image->pixels);
        }
        // The texture's memory goes back, so that each build takes fresh
        // memory as the program's start does.
        state.PauseTiming();
        glDeleteTextures(1, &name);
        glFinish();
        state.ResumeTiming();
    }
    FreeImage(image);
    ResetProgramState();
}

void RunLevels(benchmark::State& state, Builder builder) {
    Image* image = DefaultImage(state, static_cast<int>(state.range(0)));
    if (image == nullptr) return;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const MipmapPicture picture{image->pixels, image->width, image->height, image->bytesPerPixel,
                                static_cast<size_t>(image->rowStride)};
    for (auto _ : state) {
        if (builder == Builder::Glu) {
            gluBuild2DMipmaps(GL_PROXY_TEXTURE_2D, image->bytesPerPixel, image->width, image->height,
                              FormatOf(*image), GL_UNSIGNED_BYTE, image->pixels);
        } else {
            int width = 0;
            int height = 0;
            FitMipmapSize(image->bytesPerPixel, image->width, image->height, FormatOf(*image), &width, &height);
            MakeMipmapLevels(picture, width, height, DropRows, nullptr);
        }
    }
    FreeImage(image);
    ResetProgramState();
}

void BM_MipmapsIntoTextureGlu(benchmark::State& state) { RunIntoTexture(state, Builder::Glu); }
void BM_MipmapsIntoTextureBuilder(benchmark::State& state) { RunIntoTexture(state, Builder::Program); }
void BM_MipmapLevelsGlu(benchmark::State& state) { RunLevels(state, Builder::Glu); }
void BM_MipmapLevelsBuilder(benchmark::State& state) { RunLevels(state, Builder::Program); }

// Argument: the default list's entry, 0 (rule0.tga, 2100 x 380) or 1
// (rule1.jpg, 2100 x 409). llvmpipe copies textures on its own threads at
// times: processor time of the whole process.
BENCHMARK(BM_MipmapsIntoTextureGlu)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_MipmapsIntoTextureBuilder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_MipmapLevelsGlu)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_MipmapLevelsBuilder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
