// The three strips of a rule that carry scales, top to bottom, as rule
// descriptions and scale maps name them.
#pragma once

#include <string>

enum : int { STRIP_UPPER_BODY = 0, STRIP_SLIDE = 1, STRIP_LOWER_BODY = 2, STRIP_COUNT = 3 };

// The most scales one strip carries.
constexpr int MAX_SCALES_PER_STRIP = 3;

// The words that name the strips in descriptions and maps.
constexpr const char* STRIP_WORDS[STRIP_COUNT] = {"upper", "slide", "lower"};

// The strip a word names; false for any other word.
inline bool StripOfWord(const std::string& word, int* strip) {
    for (int k = 0; k < STRIP_COUNT; ++k) {
        if (word == STRIP_WORDS[k]) {
            *strip = k;
            return true;
        }
    }
    return false;
}
