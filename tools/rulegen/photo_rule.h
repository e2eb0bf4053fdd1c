// From a photograph of a slide rule to its texture: the outline (given or
// found), the rule straightened, its strips and slide found, C and D read
// and fitted, the slide closed and the strips resampled where the program's
// strip maps want them; every step refuses rather than guess.
#pragma once

#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "tools/rulegen/photo_model.h"
#include "tools/rulegen/photo_ticks.h"
#include "tools/rulegen/rule_texture.h"

struct PhotoRequest {
    std::string path;
    bool hasCorners = false;
    Outline corners;
    // The scales named for each strip, top to bottom; empty lists and
    // hasScales false: only C and D are mapped.
    bool hasScales = false;
    std::vector<const ScaleDefinition*> strips[STRIP_COUNT];
};

struct PhotoResult {
    bool ok = false;
    std::string failure;  // the step that failed and what to try
    cv::Mat photo;        // 8-bit RGB as seen, when it could be read
    bool outlineKnown = false;
    bool automatic = false;  // the outline was found, not given
    Outline outline;
    bool linesKnown = false;
    bool fitted = false;
    RuleModel model;
    ScaleFitReport fit;
    RuleArtwork artwork;  // the texture, on success
    std::vector<const ScaleDefinition*> mapped[STRIP_COUNT];
    std::vector<std::string> unfit;  // named scales the photograph does not show
    double seconds = 0;
};

// Reads one photograph into the texture of the rule whose strips `strips`
// (MapRuleStrips) gives.
PhotoResult ReadRulePhoto(const PhotoRequest& request, const RuleArtwork& strips);
