// Runs a fuzz target without libFuzzer: its seeds, then every file given
// (directories are read file by file), once each. The test suite uses it to
// keep the regression files of tests/data/<name>/ passing, and it replays a
// corpus under valgrind, which also sees the libraries that the fuzz build
// does not instrument.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    bytes->clear();
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes->insert(bytes->end(), buffer, buffer + got);
    std::fclose(file);
    return true;
}

// The regular files of a directory, sorted; the path itself when it is a file.
std::vector<std::string> InputsAt(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return {};
    if (!S_ISDIR(status.st_mode)) return {path};
    std::vector<std::string> files;
    if (DIR* directory = opendir(path.c_str())) {
        while (dirent* entry = readdir(directory)) {
            const std::string file = path + "/" + entry->d_name;
            if (stat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode)) files.push_back(file);
        }
        closedir(directory);
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    size_t inputs = 0;
    for (const std::vector<uint8_t>& seed : FuzzSeeds()) {
        LLVMFuzzerTestOneInput(seed.data(), seed.size());
        ++inputs;
    }
    for (int i = 1; i < argc; ++i) {
        struct stat status;
        if (stat(argv[i], &status) != 0) {
            std::printf("%s: not there, nothing to replay\n", argv[i]);
            continue;
        }
        for (const std::string& file : InputsAt(argv[i])) {
            std::vector<uint8_t> bytes;
            if (!ReadWholeFile(file, &bytes)) {
                std::perror(file.c_str());
                return 1;
            }
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++inputs;
        }
    }
    std::printf("%zu inputs ran\n", inputs);
    return 0;
}
