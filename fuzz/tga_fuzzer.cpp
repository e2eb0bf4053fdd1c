// The TGA reader on arbitrary file contents, handed over as an in-memory
// file (the reader takes a path).
#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "fuzz/fuzz_target.h"
#include "images/tga_reader.h"
#include "tests/support/test_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = memfd_create("tga", MFD_CLOEXEC);
    if (fd < 0) return 0;
    size_t written = 0;
    while (written < size) {
        const ssize_t n = write(fd, data + written, size - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    Image image{};
    if (written == size && ReadTgaImage(path.c_str(), &image)) ReleaseImagePixels(&image);
    close(fd);
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    return {
        MakeTga(2, 1, 24, {1, 2, 3, 4, 5, 6}),
        MakeTga(1, 1, 32, {10, 20, 30, 40}, 0x28),
        MakeBandedTga(3, {{2, 255, 0, 0}, {1, 0, 0, 255}}, 24),
        MakeBandedTga(2, {{1, 0, 255, 0}, {2, 255, 255, 255}}, 32),
    };
}
