// Files that the tests make: TGA images and texture lists, in temporary
// directories that the program can run in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DataFile {
    std::string path;  // relative to the directory, '/' separated
    std::vector<uint8_t> bytes;
};

DataFile TextFile(const std::string& path, const std::string& text);

// An uncompressed true-colour TGA file: the 18-byte header, then the pixel
// bytes as given (B, G, R or B, G, R, A per pixel, rows as stored).
std::vector<uint8_t> MakeTga(int width, int height, int bitsPerPixel, const std::vector<uint8_t>& pixelBytes,
                             uint8_t descriptor = 0);

// A TGA whose rows come in bands of one colour each, bottom band first (so
// that it is stored first and lands at texture coordinate t = 0).
struct ColourBand {
    int rows;
    uint8_t r, g, b;
};
std::vector<uint8_t> MakeBandedTga(int width, const std::vector<ColourBand>& bands, int bitsPerPixel);

// Writes the files under `directory`, making subdirectories as needed.
bool WriteDataFiles(const std::string& directory, const std::vector<DataFile>& files);

// A list of two small white mipmapped TGA textures with its images: the
// rules then look as if untextured.
std::vector<DataFile> WhiteTextureData();

// A fresh temporary directory holding the files; it is removed when the
// process that made it ends. Empty on failure.
std::string MakeDataDirectory(const std::vector<DataFile>& files);

// One file in a fresh data directory of its own; returns the file's path
// ("" on failure). MissingDataFile: the path of a file that does not exist,
// in a fresh directory.
std::string MakeDataFile(const std::string& name, const std::vector<uint8_t>& bytes);
std::string MissingDataFile(const std::string& name);

// A fresh directory as MakeDataDirectory makes it, plus links in its data
// folder to the named files of `imageDir` (such as the images the build
// drew). Empty on failure.
std::string MakeLinkedDataDirectory(const std::vector<DataFile>& files, const std::string& imageDir,
                                    const std::vector<std::string>& imageNames);
