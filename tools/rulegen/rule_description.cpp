#include "tools/rulegen/rule_description.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace {

constexpr size_t LARGEST_DESCRIPTION = 1 << 20;
constexpr size_t LONGEST_SHOWN_WORD = 40;

// A word as a message may show it: printable characters only, cut short.
std::string Shown(const std::string& word) {
    std::string shown;
    for (size_t k = 0; k < word.size() && k < LONGEST_SHOWN_WORD; ++k) {
        const unsigned char c = static_cast<unsigned char>(word[k]);
        if (std::isprint(c)) {
            shown += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        }
    }
    if (word.size() > LONGEST_SHOWN_WORD) shown += "...";
    return "'" + shown + "'";
}

bool ValidFileName(const std::string& name) {
    if (name.empty() || name[0] == '.') return false;
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_') return false;
    }
    return true;
}

std::string Lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

struct Parser {
    std::string sourceName;
    int line;
    std::string* error;

    bool Fail(const std::string& what) {
        *error = sourceName + ":" + std::to_string(line) + ": " + what;
        return false;
    }
};

// The words of one line, comments removed.
std::vector<std::string> WordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        if (c == '#') break;
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

bool ParseLine(Parser& parser, const std::vector<std::string>& words, RuleDescription* description, int* current,
               bool stripGiven[RULE_COUNT][STRIP_COUNT]) {
    const std::string& keyword = words[0];
    if (keyword == "rule") {
        if (words.size() != 2 || (words[1] != "0" && words[1] != "1")) {
            return parser.Fail("'rule' takes the texture number, 0 or 1 (the scene shows two rules)");
        }
        const int number = words[1][0] - '0';
        RuleLayout& rule = description->rules[number];
        if (rule.present) {
            return parser.Fail("rule " + words[1] + " is described twice (first on line " + std::to_string(rule.line) +
                               ")");
        }
        rule.present = true;
        rule.line = parser.line;
        rule.fileName = "rule" + words[1] + ".tga";
        rule.format = ImageFormat::Tga;
        rule.filter = 'm';
        *current = number;
        return true;
    }
    int strip = -1;
    StripOfWord(keyword, &strip);
    if (strip < 0 && keyword != "file" && keyword != "filter") {
        return parser.Fail("unknown word " + Shown(keyword) + "; a line starts with rule, file, filter, upper, slide or lower");
    }
    if (*current < 0) return parser.Fail(Shown(keyword) + " comes before any 'rule' line");
    RuleLayout& rule = description->rules[*current];
    if (keyword == "file") {
        if (words.size() != 2) return parser.Fail("'file' takes one file name");
        if (!ValidFileName(words[1])) {
            return parser.Fail("file name " + Shown(words[1]) +
                               " may hold only letters, digits, '.', '-' and '_', and may not start with '.'");
        }
        if (!FormatOfFileName(words[1], &rule.format)) {
            return parser.Fail("file name " + Shown(words[1]) + " must end in .bmp, .tga, .jpg or .jpeg");
        }
        rule.fileName = words[1];
        return true;
    }
    if (keyword == "filter") {
        if (words.size() != 2 || (words[1] != "m" && words[1] != "n")) {
            return parser.Fail("'filter' takes m (mipmapped) or n (plain)");
        }
        rule.filter = words[1][0];
        return true;
    }
    if (stripGiven[*current][strip]) {
        return parser.Fail("'" + keyword + "' is given twice for rule " + std::to_string(*current));
    }
    stripGiven[*current][strip] = true;
    if (words.size() - 1 > static_cast<size_t>(MAX_SCALES_PER_STRIP)) {
        return parser.Fail("a strip holds at most " + std::to_string(MAX_SCALES_PER_STRIP) + " scales");
    }
    for (size_t k = 1; k < words.size(); ++k) {
        const ScaleDefinition* scale = FindScale(words[k]);
        if (scale == nullptr) {
            return parser.Fail("unknown scale " + Shown(words[k]) + "; the scales are " + KnownScaleNames());
        }
        rule.strips[strip].push_back(scale);
    }
    return true;
}

}  // namespace

bool FormatOfFileName(const std::string& fileName, ImageFormat* format) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string extension = Lowered(fileName.substr(dot + 1));
    if (extension == "bmp") *format = ImageFormat::Bmp;
    else if (extension == "tga") *format = ImageFormat::Tga;
    else if (extension == "jpg" || extension == "jpeg") *format = ImageFormat::Jpeg;
    else return false;
    return true;
}

char TypeLetterOf(ImageFormat format) {
    switch (format) {
    case ImageFormat::Bmp: return 'b';
    case ImageFormat::Tga: return 't';
    case ImageFormat::Jpeg: return 'j';
    }
    return 't';
}

const char* ExtensionOf(ImageFormat format) {
    switch (format) {
    case ImageFormat::Bmp: return "bmp";
    case ImageFormat::Tga: return "tga";
    case ImageFormat::Jpeg: return "jpg";
    }
    return "tga";
}

bool ParseRuleDescription(const std::string& text, const std::string& sourceName, RuleDescription* description,
                          std::string* error) {
    *description = RuleDescription{};
    Parser parser{sourceName, 0, error};
    int current = -1;
    bool stripGiven[RULE_COUNT][STRIP_COUNT] = {};
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        ++parser.line;
        const std::vector<std::string> words = WordsOf(line);
        if (words.empty()) continue;
        if (!ParseLine(parser, words, description, &current, stripGiven)) return false;
    }
    for (int number = 0; number < RULE_COUNT; ++number) {
        if (!description->rules[number].present) {
            *error = sourceName + ": rule " + std::to_string(number) +
                     " is not described; the scene shows two rules, textures 0 and 1";
            return false;
        }
    }
    if (description->rules[0].fileName == description->rules[1].fileName) {
        *error = sourceName + ": rules 0 and 1 both write " + Shown(description->rules[0].fileName);
        return false;
    }
    return true;
}

bool ReadRuleDescriptionFile(const char* path, RuleDescription* description, std::string* error) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        *error = std::string(path) + ": cannot be opened";
        return false;
    }
    std::string text;
    char buffer[4096];
    size_t got = 0;
    bool tooLarge = false;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
        if (text.size() > LARGEST_DESCRIPTION) {
            tooLarge = true;
            break;
        }
    }
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (tooLarge) {
        *error = std::string(path) + ": too large for a rule description (more than 1 MiB)";
        return false;
    }
    if (readError) {
        *error = std::string(path) + ": cannot be read";
        return false;
    }
    return ParseRuleDescription(text, path, description, error);
}
