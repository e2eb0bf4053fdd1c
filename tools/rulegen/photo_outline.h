// Finding a rule in a photograph without being told where it is: its two
// gaps as the longest pair of parallel dark lines with marks on both sides,
// its outer edges beside them and its ends where the gaps stop. Best
// effort: the outline is refined from the scales afterwards, and --corners
// takes its place when it fails.
#pragma once

#include <string>

#include <opencv2/core.hpp>

#include "tools/rulegen/photo_model.h"

// Finds the outline in the grey photograph (CV_32F), its corners in
// clockwise order on the picture, starting at either end. False, with what
// was not found, when nothing like a rule is there; *cutOff then tells
// whether a rule was seen running off the picture's edge.
bool FindRuleOutline(const cv::Mat& grey, Outline* outline, bool* cutOff, std::string* error);
