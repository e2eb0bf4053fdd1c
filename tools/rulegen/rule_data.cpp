#include "tools/rulegen/rule_data.h"

#include <cstdio>
#include <filesystem>

#include "tools/rulegen/rule_texture.h"

namespace {

std::string Stem(const std::string& fileName) { return fileName.substr(0, fileName.rfind('.')); }

bool WriteOneRule(int number, const RuleLayout& rule, const RuleFonts& fonts, const std::string& outDir,
                  const RuleDataOptions& options, std::string* error) {
    const PanelTable table = BuildInitialPanelTable();
    RuleArtwork artwork{};
    if (!MapRuleStrips(table, number, &artwork, error) || !DrawRuleTexture(rule, fonts, &artwork, error)) return false;
    if (!WritePictureFile(outDir + "/" + rule.fileName, rule.format, artwork.picture, error)) return false;
    if (options.allFormats) {
        for (ImageFormat format : {ImageFormat::Bmp, ImageFormat::Tga, ImageFormat::Jpeg}) {
            if (format == rule.format) continue;
            const std::string path = outDir + "/" + Stem(rule.fileName) + "." + ExtensionOf(format);
            if (!WritePictureFile(path, format, artwork.picture, error)) return false;
        }
    }
    if (options.templates) {
        RuleArtwork blank{};
        if (!MapRuleStrips(table, number, &blank, error) || !DrawTemplateTexture(number, fonts, &blank, error)) {
            return false;
        }
        if (!WriteBmpFile(outDir + "/template" + std::to_string(number) + ".bmp", blank.picture, error)) return false;
    }
    return true;
}

}  // namespace

std::string TextureListText(const RuleDescription& description) {
    std::string text = std::to_string(RULE_COUNT) + "\n";
    for (int number = 0; number < RULE_COUNT; ++number) {
        const RuleLayout& rule = description.rules[number];
        text += "rule" + std::to_string(number) + " " + TypeLetterOf(rule.format) + " " + rule.filter + " data\\" +
                rule.fileName + "\n";
    }
    return text;
}

std::string ScaleMapText(const RuleDescription& description) {
    std::string text =
        "# Vernaskel's scale map: the scales on each strip of the textures that ts lists,\n"
        "# top to bottom, written by vernaskel-rulegen. The program reads the rules out with it.\n";
    for (int number = 0; number < RULE_COUNT; ++number) {
        text += "texture " + std::to_string(number) + "\n";
        for (int strip = 0; strip < STRIP_COUNT; ++strip) {
            text += STRIP_WORDS[strip];
            for (const ScaleDefinition* scale : description.rules[number].strips[strip]) text += std::string(" ") + scale->name;
            text += "\n";
        }
    }
    return text;
}

namespace {

bool WriteTextFile(const std::string& path, const std::string& text, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    bool written = file != nullptr && std::fputs(text.c_str(), file) >= 0;
    if (file != nullptr && std::fclose(file) != 0) written = false;
    if (!written) *error = path + ": cannot be written";
    return written;
}

}  // namespace

bool WriteRuleData(const RuleDescription& description, const std::string& outDir, const RuleDataOptions& options,
                   std::string* error) {
    std::error_code failure;
    std::filesystem::create_directories(outDir, failure);
    if (failure) {
        *error = outDir + ": cannot be made: " + failure.message();
        return false;
    }
    RuleFonts fonts{};
    if (!OpenRuleFonts(&fonts, error)) return false;
    bool ok = true;
    for (int number = 0; number < RULE_COUNT && ok; ++number) {
        ok = WriteOneRule(number, description.rules[number], fonts, outDir, options, error);
    }
    CloseRuleFonts(&fonts);
    if (!ok) return false;
    // The list goes last: the build takes it as the sign that all is written.
    return WriteTextFile(outDir + "/scales", ScaleMapText(description), error) &&
           WriteTextFile(outDir + "/ts", TextureListText(description), error);
}
