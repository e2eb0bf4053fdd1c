// Reading the C and D scales off the rectified photograph: the marks beside
// the lower gap, their lengths and lean, the numbered marks among them
// found by their logarithmic spacing, and the fit of every mark to the
// scales' values that places the indices.
#pragma once

#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "tools/rulegen/photo_model.h"

// A mark found in the frame: where it crosses the probe row, how long it
// is from the strip's edge, and, once identified, its scale and value.
struct FoundMark {
    double a = 0;  // along the rule at row b
    double b = 0;
    double length = 0;
    int scale = -1;  // 0 C, 1 D, -1 not identified
    double value = 0;
    bool major = false;
    double residual = 0;  // frame pixels from the fit
};

struct ScaleFitReport {
    int majors[2] = {0, 0};  // numbered marks identified, C and D
    int marks[2] = {0, 0};   // all marks used in the fit
    double rmsTexels = 0;    // the fit's residual, in texels of the texture
    double worstTexels = 0;
    double lengthDisagreement = 0;  // C's index length against D's, as a fraction
    std::vector<FoundMark> used;
};

// Finds C on the slide and D on the lower body beside the lower gap, fits
// the model's positions (p, slideShift) and lean, and reports what was
// used. texelsPerIndex converts frame pixels of the index into texels. False,
// with the step that failed and what to try, when the marks do not give a
// trustworthy fit.
bool FitScales(const cv::Mat& darkness, double texelsPerIndex, RuleModel* model, ScaleFitReport* report,
               std::string* error);
