// Finding a rule's long lines in the rectified frame: the two gaps between
// the body strips and the slide (long dark lines with marks on both sides)
// and the body's outer edges, each followed along the rule as a curve.
#pragma once

#include <string>

#include <opencv2/core.hpp>

#include "tools/rulegen/photo_model.h"

// How dark each point is against the body around it: 0 on the body, about
// 1 on black ink (CV_32F, the rectified frame's size).
cv::Mat DarknessOf(const cv::Mat& rectifiedGrey);

// The darkness at a frame point, bilinear; 0 outside.
double DarknessAt(const cv::Mat& darkness, double a, double b);

// Finds the gaps and the edges. False, with what was not found in *error.
bool FindRuleLines(const cv::Mat& darkness, const cv::Mat& rectifiedGrey, const RuleFrame& frame, RuleLines* lines,
                   std::string* error);
