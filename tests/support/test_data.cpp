#include "tests/support/test_data.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

struct OwnedDirectory {
    std::string path;
    pid_t owner;
};

std::vector<OwnedDirectory>& MadeDirectories() {
    static std::vector<OwnedDirectory> directories;
    return directories;
}

void RemoveMadeDirectories() {
    // A forked child shares the list but must not remove its parent's files.
    for (const OwnedDirectory& directory : MadeDirectories()) {
        std::error_code ignored;
        if (directory.owner == getpid()) std::filesystem::remove_all(directory.path, ignored);
    }
}

}  // namespace

DataFile TextFile(const std::string& path, const std::string& text) {
    return DataFile{path, std::vector<uint8_t>(text.begin(), text.end())};
}

std::vector<uint8_t> MakeTga(int width, int height, int bitsPerPixel, const std::vector<uint8_t>& pixelBytes,
                             uint8_t descriptor) {
    std::vector<uint8_t> file(18 + pixelBytes.size(), 0);
    file[2] = 2;  // uncompressed true colour
    file[12] = static_cast<uint8_t>(width & 0xFF);
    file[13] = static_cast<uint8_t>(width >> 8);
    file[14] = static_cast<uint8_t>(height & 0xFF);
    file[15] = static_cast<uint8_t>(height >> 8);
    file[16] = static_cast<uint8_t>(bitsPerPixel);
    file[17] = descriptor;
    std::copy(pixelBytes.begin(), pixelBytes.end(), file.begin() + 18);
    return file;
}

std::vector<uint8_t> MakeBandedTga(int width, const std::vector<ColourBand>& bands, int bitsPerPixel) {
    std::vector<uint8_t> pixels;
    int height = 0;
    for (const ColourBand& band : bands) {
        height += band.rows;
        for (int texel = 0; texel < band.rows * width; ++texel) {
            pixels.insert(pixels.end(), {band.b, band.g, band.r});
            if (bitsPerPixel == 32) pixels.push_back(255);
        }
    }
    return MakeTga(width, height, bitsPerPixel, pixels);
}

bool WriteDataFiles(const std::string& directory, const std::vector<DataFile>& files) {
    for (const DataFile& file : files) {
        const std::filesystem::path path = std::filesystem::path(directory) / file.path;
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
        if (!out) return false;
    }
    return true;
}

std::vector<DataFile> WhiteTextureData() {
    const std::vector<uint8_t> white = MakeBandedTga(4, {{4, 255, 255, 255}}, 24);
    return {TextFile("data/ts", "2\nfirst t m data/white0.tga\nsecond t m data/white1.tga\n"),
            DataFile{"data/white0.tga", white}, DataFile{"data/white1.tga", white}};
}

std::string MakeDataDirectory(const std::vector<DataFile>& files) {
    // A name no other directory has: this process's, counted, in the
    // system's temporary folder (on Windows too).
    static int counter = 0;
    std::error_code error;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    if (error) return "";
    std::string path;
    while (path.empty() && counter < 100000) {
        const std::filesystem::path candidate =
            temporary / ("vernaskel-data-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
        if (std::filesystem::create_directory(candidate, error)) path = candidate.string();
    }
    if (path.empty()) return "";
    if (MadeDirectories().empty()) std::atexit(RemoveMadeDirectories);
    MadeDirectories().push_back(OwnedDirectory{path, getpid()});
    if (!WriteDataFiles(path, files)) return "";
    return path;
}

std::string MakeDataFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string directory = MakeDataDirectory({DataFile{name, bytes}});
    return directory.empty() ? "" : directory + "/" + name;
}

std::string MissingDataFile(const std::string& name) {
    const std::string directory = MakeDataDirectory({});
    return directory.empty() ? "" : directory + "/" + name;
}

std::string MakeLinkedDataDirectory(const std::vector<DataFile>& files, const std::string& imageDir,
                                    const std::vector<std::string>& imageNames) {
    const std::string directory = MakeDataDirectory(files);
    if (directory.empty()) return directory;
    for (const std::string& name : imageNames) {
        std::error_code error;
        std::filesystem::create_directories(directory + "/data", error);
        std::filesystem::create_symlink(imageDir + "/" + name, directory + "/data/" + name, error);
        if (error) return "";
    }
    return directory;
}
