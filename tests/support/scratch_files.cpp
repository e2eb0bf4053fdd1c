#include "tests/support/scratch_files.h"

#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return std::remove(path); }

void RemoveScratchDirectory() { nftw(ScratchDirectory().c_str(), RemoveEntry, 8, FTW_DEPTH | FTW_PHYS); }

}  // namespace

const std::string& ScratchDirectory() {
    static const std::string directory = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/vernaskel-test-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        return pattern + "/";
    }();
    static const bool cleanupRegistered = [] {
        // Death-test children run their own exit handlers: only the process
        // that made the directory removes it.
        static const pid_t owner = getpid();
        std::atexit([] {
            if (getpid() == owner) RemoveScratchDirectory();
        });
        return true;
    }();
    (void)cleanupRegistered;
    return directory;
}

std::string WriteScratchFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = ScratchDirectory() + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror(path.c_str());
        std::abort();
    }
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

std::string MissingScratchPath(const std::string& name) {
    const std::string path = ScratchDirectory() + name;
    std::remove(path.c_str());
    return path;
}
