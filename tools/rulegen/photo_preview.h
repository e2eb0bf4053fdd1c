// The preview --photo always writes: each photograph with the outline, the
// gaps and edges, the marks used and the indices found drawn on it, its
// step's verdict above it, and the written texture below it on success.
#pragma once

#include <string>
#include <vector>

#include "tools/rulegen/photo_rule.h"

bool WritePhotoPreview(const std::string& path, const std::vector<const PhotoResult*>& results, std::string* error);
