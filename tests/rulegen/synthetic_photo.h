// Seeded synthetic photographs of a rule, for the tests and the benchmark of
// --photo: the generator's texture on a rule's face, the slide pulled out,
// the cursor at an end, laid on a cluttered table in perspective through a
// slightly bowed lens, lit unevenly, blurred, noisy and JPEG-compressed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "tools/rulegen/photo_model.h"
#include "tools/rulegen/rule_texture.h"

struct SyntheticPhotoOptions {
    unsigned seed = 1;
    int width = 3000;
    int height = 2000;
    bool upsideDown = false;  // the rule turned round on the table
    bool cutOff = false;      // one end of the rule beyond the picture's edge
    bool noRule = false;      // the table alone
};

struct SyntheticPhoto {
    cv::Mat rgb;      // 8-bit RGB as seen
    Outline outline;  // the body's corners where the picture shows them: the rule's top-left first
    double slideShift = 0;  // scene units the slide was pulled to the right
    double lensK = 0;       // the lens's bow (PhotoLens)
    int jpegQuality = 90;
};

// The rule 0 artwork (its texture and strips) photographed.
SyntheticPhoto MakeSyntheticPhoto(const RuleArtwork& rule, const SyntheticPhotoOptions& options);

// The picture as a JPEG file (top row first, as a camera stores it); with
// an orientation other than 1 it is stored turned accordingly, with an
// Exif segment that says how to turn it back.
bool WriteJpegPhoto(const std::string& path, const cv::Mat& rgb, int quality, int orientation, std::string* error);
