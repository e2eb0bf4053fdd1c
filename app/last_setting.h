// Where the rules were left. The desktop keeps the setting in the user's
// configuration folder when the program ends, one record per data folder,
// for --resume; the browser's page keeps it in its address as the user
// works.
#pragma once

#include <cstdint>
#include <string>

#include "learning/setting.h"

// The page is told of a changed setting at most this often.
constexpr uint32_t SETTING_PUBLISH_INTERVAL_MS = 300;

struct SettingPublication {
    bool started = false;   // the launch setting is applied
    std::string lastText;   // as last told (or as the program started)
    uint32_t lastCheck = 0; // tick count of the last look
};

extern SettingPublication settingPublication;

// The record for a data folder: in the configuration folder, named by a
// hash of the folder's path. False where there is no configuration folder.
bool LastSettingPath(const std::string& dataFolder, std::string* path);

// Writes the setting for the data folder, whole or not at all; a failure
// is told on standard error in one line.
void KeepLastSetting(const std::string& dataFolder, const Setting& setting);

// The setting kept for the data folder. False when there is none, or when
// the record cannot be read, is damaged or is another folder's (each told on
// standard error in one line).
bool ReadLastSetting(const std::string& dataFolder, Setting* setting);

// After start-up, before the first frame: the rules set as --set (or else
// --resume) asks, and the text the page is told of from then on.
void ApplyLaunchSetting();

// Once a frame: tells the page the setting when it has changed, at most
// every SETTING_PUBLISH_INTERVAL_MS.
void PublishSettingWhenChanged();

// When the main loop has ended normally: keeps the setting for --resume.
// Nothing when start-up never ran.
void KeepSettingAtExit();
