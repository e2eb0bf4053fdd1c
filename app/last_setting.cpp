#include "app/last_setting.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/app_window.h"
#include "app/launch_options.h"
#include "app/startup.h"
#include "platform/platform.h"

SettingPublication settingPublication;

namespace {

constexpr const char* RECORD_HEADER = "vernaskel last setting";
constexpr const char* FOLDER_KEY = "folder ";
constexpr const char* SET_KEY = "set ";
// A record is three short lines; anything much longer is not one.
constexpr size_t MAX_RECORD_BYTES = 8192;

// FNV-1a, 64 bits: the same name for the same folder on every run.
uint64_t HashOf(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

void Tell(const std::string& path, const std::string& what) {
    std::fprintf(stderr, "Vernaskel: the last setting %s %s; starting as without --resume.\n", path.c_str(),
                 what.c_str());
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The record's lines, a carriage return before a newline dropped; false
// when it is not three lines ending in a newline.
bool SplitRecord(const std::string& bytes, std::vector<std::string>* lines) {
    std::string line;
    for (char c : bytes) {
        if (c != '\n') {
            line += c;
            continue;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines->push_back(line);
        line.clear();
    }
    return line.empty() && lines->size() == 3;
}

}  // namespace

bool LastSettingPath(const std::string& dataFolder, std::string* path) {
    char folder[4096];
    if (dataFolder.empty() || !PlatformUserConfigFolder(folder, sizeof folder)) return false;
    char name[40];
    std::snprintf(name, sizeof name, "last-setting-%016llx",
                  static_cast<unsigned long long>(HashOf(dataFolder)));
    *path = std::string(folder) + "/" + name;
    return true;
}

void KeepLastSetting(const std::string& dataFolder, const Setting& setting) {
    std::string path;
    // A folder whose name breaks the record's lines is not kept.
    if (dataFolder.find_first_of("\r\n") != std::string::npos || !LastSettingPath(dataFolder, &path)) return;
    const std::string record = std::string(RECORD_HEADER) + "\n" + FOLDER_KEY + dataFolder + "\n" + SET_KEY +
                               SettingText(setting) + "\n";
    if (!PlatformWriteFileWhole(path.c_str(), record.data(), record.size())) {
        std::fprintf(stderr, "Vernaskel: cannot keep the setting in %s.\n", path.c_str());
    }
}

bool ReadLastSetting(const std::string& dataFolder, Setting* setting) {
    std::string path;
    if (!LastSettingPath(dataFolder, &path)) return false;
    errno = 0;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        // The first run on these rules has left none yet.
        if (errno != ENOENT) Tell(path, std::string("cannot be read: ") + std::strerror(errno));
        return false;
    }
    std::string bytes(MAX_RECORD_BYTES + 1, '\0');
    bytes.resize(std::fread(&bytes[0], 1, bytes.size(), file));
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError) {
        Tell(path, "cannot be read");
        return false;
    }
    std::vector<std::string> lines;
    if (bytes.size() > MAX_RECORD_BYTES || !SplitRecord(bytes, &lines) || lines[0] != RECORD_HEADER ||
        !StartsWith(lines[1], FOLDER_KEY) || !StartsWith(lines[2], SET_KEY)) {
        Tell(path, "is damaged");
        return false;
    }
    if (lines[1].substr(std::strlen(FOLDER_KEY)) != dataFolder) {
        Tell(path, "is another data folder's");
        return false;
    }
    std::string reason;
    if (!ParseSettingText(lines[2].substr(std::strlen(SET_KEY)), setting, &reason)) {
        Tell(path, "is damaged: " + reason);
        return false;
    }
    return true;
}

void ApplyLaunchSetting() {
    Setting setting;
    if (launchOptions.setGiven) {
        ApplySetting(launchOptions.setting);
    } else if (launchOptions.resume && ReadLastSetting(textureListFolder, &setting)) {
        ApplySetting(setting);
    }
    settingPublication.started = true;
    settingPublication.lastText = SettingText(CaptureSetting());
    settingPublication.lastCheck = PlatformGetTickCount();
}

void PublishSettingWhenChanged() {
    if (!settingPublication.started) return;
    const uint32_t now = PlatformGetTickCount();
    if (now - settingPublication.lastCheck < SETTING_PUBLISH_INTERVAL_MS) return;
    settingPublication.lastCheck = now;
    const std::string text = SettingText(CaptureSetting());
    if (text == settingPublication.lastText) return;
    settingPublication.lastText = text;
    PlatformPublishSetting(text.c_str());
}

void KeepSettingAtExit() {
    if (inputState.startupDone == 0) return;
    KeepLastSetting(textureListFolder, CaptureSetting());
}
