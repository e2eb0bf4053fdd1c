// Start-up with two rule-sized mipmapped TGA textures, against the floor of
// reading the same files and uploading them as they are.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "images/image.h"
#include "images/tga_reader.h"
#include "tests/support/program.h"
#include "tests/support/test_data.h"

namespace {

constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;

// Two textures of the rules' size, with some texture in them.
const std::string& RuleTextureDirectory() {
    static const std::string directory = [] {
        auto texture = [](int height, uint8_t seed) {
            std::vector<uint8_t> pixels(static_cast<size_t>(2100) * height * 3);
            for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>((i * 7 + seed) ^ (i >> 9));
            return MakeTga(2100, height, 24, pixels);
        };
        return MakeDataDirectory({TextFile("data/ts", "2\nruleA t m data/a.tga\nruleB t m data/b.tga\n"),
                                  DataFile{"data/a.tga", texture(380, 1)}, DataFile{"data/b.tga", texture(409, 2)}});
    }();
    return directory;
}

void BM_StartupToFirstFrame(benchmark::State& state) {
    const std::string& directory = RuleTextureDirectory();
    for (auto _ : state) {
        if (!StartProgramIn(directory, WIDTH, HEIGHT)) {
            state.SkipWithError("no headless window");
            break;
        }
    }
    ResetProgramState();
}
// llvmpipe works on its own threads: wall time is the measure.
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WindowReadAndPlainUpload(benchmark::State& state) {
    const std::string& directory = RuleTextureDirectory();
    for (auto _ : state) {
        if (!CreateProgramWindowIn(directory, WIDTH, HEIGHT)) {
            state.SkipWithError("no headless window");
            break;
        }
        for (const char* path : {"data/a.tga", "data/b.tga"}) {
            Image image{};
            if (!ReadTgaImage(path, &image)) state.SkipWithError("cannot read the texture");
            GLuint name = 0;
            glGenTextures(1, &name);
            glBindTexture(GL_TEXTURE_2D, name);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE, image.pixels);
            ReleaseImagePixels(&image);
        }
        glFinish();
    }
    ResetProgramState();
}
BENCHMARK(BM_WindowReadAndPlainUpload)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WindowAlone(benchmark::State& state) {
    const std::string& directory = RuleTextureDirectory();
    for (auto _ : state) {
        if (!CreateProgramWindowIn(directory, WIDTH, HEIGHT)) {
            state.SkipWithError("no headless window");
            break;
        }
        glFinish();
    }
    ResetProgramState();
}
BENCHMARK(BM_WindowAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
