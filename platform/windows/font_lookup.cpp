// Finding a font file by family name on Windows, through the font list the
// system keeps in the registry: each value names a face ("Arial Bold
// (TrueType)", or several joined by " & " in a collection) and its file,
// a name in the Fonts folder or a full path.
#include "platform/font_lookup.h"

#include <strings.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/windows/windows_api.h"

namespace {

struct FontEntry {
    std::string face;  // "Arial Bold"
    std::string path;
    int index;         // the face's place in a collection file
};

constexpr const char* FONT_LIST_KEY = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

// Families with Arial's advance widths first, then common sans faces: the
// nearest stand-ins, in order, for a family that is not installed.
constexpr const char* ARIAL_METRIC_FAMILIES[] = {"Arial", "Liberation Sans", "Arimo"};
constexpr const char* SANS_FAMILIES[] = {"Arial", "Liberation Sans", "Arimo", "Microsoft Sans Serif", "Segoe UI",
                                         "Tahoma", "Verdana", "DejaVu Sans"};

std::string FontsFolder() {
    char windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "C:\\Windows\\Fonts";
    return std::string(windows, length) + "\\Fonts";
}

bool EndsWith(const std::string& text, const char* end) {
    const size_t n = std::strlen(end);
    return text.size() >= n && strcasecmp(text.c_str() + text.size() - n, end) == 0;
}

// Adds the faces of one registry value: the name without its "(TrueType)"
// kind, split at " & ".
void AddEntries(const std::string& name, const std::string& file, const std::string& fontsFolder,
                std::vector<FontEntry>* entries) {
    // Only outline fonts: FreeType draws them at any size.
    if (!EndsWith(file, ".ttf") && !EndsWith(file, ".ttc") && !EndsWith(file, ".otf")) return;
    std::string faces = name;
    const size_t kind = faces.rfind(" (");
    if (kind != std::string::npos && faces.back() == ')') faces.erase(kind);
    const bool fullPath = file.find(':') != std::string::npos || file.rfind("\\\\", 0) == 0;
    const std::string path = fullPath ? file : fontsFolder + "\\" + file;
    int index = 0;
    size_t start = 0;
    while (true) {
        const size_t amp = faces.find(" & ", start);
        entries->push_back(FontEntry{faces.substr(start, amp - start), path, index++});
        if (amp == std::string::npos) break;
        start = amp + 3;
    }
}

void ReadFontList(HKEY root, const std::string& fontsFolder, std::vector<FontEntry>* entries) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, FONT_LIST_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    for (DWORD k = 0;; ++k) {
        char name[512];
        BYTE data[1024];
        DWORD nameLength = sizeof name;
        DWORD dataLength = sizeof data - 1;
        DWORD type = 0;
        const LONG status = RegEnumValueA(key, k, name, &nameLength, nullptr, &type, data, &dataLength);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) continue;
        data[dataLength] = 0;
        AddEntries(std::string(name, nameLength), reinterpret_cast<const char*>(data), fontsFolder, entries);
    }
    RegCloseKey(key);
}

// The entry of `family` in the wanted weight ("Arial Bold"; "Arial" or
// "Arial Regular"); null if the list has none.
const FontEntry* FindFace(const std::vector<FontEntry>& entries, const std::string& family, bool bold) {
    for (const FontEntry& entry : entries) {
        if (bold ? strcasecmp(entry.face.c_str(), (family + " Bold").c_str()) == 0
                 : strcasecmp(entry.face.c_str(), family.c_str()) == 0 ||
                       strcasecmp(entry.face.c_str(), (family + " Regular").c_str()) == 0) {
            return &entry;
        }
    }
    return nullptr;
}

bool IsArialMetric(const char* family) {
    for (const char* known : ARIAL_METRIC_FAMILIES) {
        if (strcasecmp(family, known) == 0) return true;
    }
    return false;
}

}  // namespace

bool FindFontFile(const char* family, bool bold, FontFile* found) {
    std::vector<FontEntry> entries;
    const std::string fontsFolder = FontsFolder();
    ReadFontList(HKEY_LOCAL_MACHINE, fontsFolder, &entries);
    // Fonts installed for one user only.
    ReadFontList(HKEY_CURRENT_USER, fontsFolder, &entries);

    std::vector<std::string> candidates{family};
    if (IsArialMetric(family)) candidates.insert(candidates.end(), std::begin(ARIAL_METRIC_FAMILIES),
                                                 std::end(ARIAL_METRIC_FAMILIES));
    candidates.insert(candidates.end(), std::begin(SANS_FAMILIES), std::end(SANS_FAMILIES));
    // The wanted weight of the nearest family first, then the other weight.
    for (const bool weight : {bold, !bold}) {
        for (const std::string& candidate : candidates) {
            if (const FontEntry* entry = FindFace(entries, candidate, weight)) {
                *found = FontFile{entry->path, entry->index, candidate};
                return true;
            }
        }
    }
    // Any outline face at all.
    if (entries.empty()) return false;
    *found = FontFile{entries.front().path, entries.front().index, entries.front().face};
    return true;
}
