// A rough picture of the editor assembled from the generated images, for judging the
// artwork as a whole while restyling it.
#pragma once

#include "paint.h"

#include <map>
#include <string>

namespace Quorvane::Artwork
{

// images: every generated image by file name. The knobs show `knobFrame`.
Image composePreview(const std::map<std::string, Image>& images, int knobFrame);

} // namespace Quorvane::Artwork
