// Resampling a photographed rule's strips into a rule texture: each texel
// of each strip through the program's strip map to its scene point, through
// the fitted model to the photograph, filtered over the texel, evened out
// to the body colour; and checking a named scale against what was written.
#pragma once

#include <opencv2/core.hpp>

#include "tools/rulegen/photo_model.h"
#include "tools/rulegen/rule_texture.h"

// Fills artwork->picture (whose size and strips MapRuleStrips gave) from
// the photograph (8-bit RGB) as the model places the rule in it. Texels
// beyond the rule's ends, or outside the photograph, take the body colour.
void ResamplePhotoTexture(const cv::Mat& photo, const RuleModel& model, RuleArtwork* artwork);

// Whether the scale's marks, where the catalogue puts them, stand out as
// marks in some row of the strip of the written texture: the share of its
// marks found there, in the best row.
double ScaleMarksFound(const RuleArtwork& artwork, int strip, const ScaleDefinition& scale);
constexpr double SCALE_FITS = 0.7;
