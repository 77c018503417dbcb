#include "vstgui/displayscale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace VSTGUI {

namespace {
// Rounding outwards must not take a whole pixel more for a product like 2.0000000001.
constexpr double kPixelSlack = 1e-6;
} // namespace

bool isUsableScaleFactor (double factor)
{
	return std::isfinite (factor) && factor > 0 && factor <= kMaxScaleFactor;
}

double scaleForDpi (double dpi)
{
	if (!std::isfinite (dpi) || dpi <= 0)
		return 1;
	const double quarters = std::round (dpi / 96.0 * 4.0) / 4.0;
	return std::min (4.0, std::max (1.0, quarters));
}

double parseScaleFactor (const char* text)
{
	if (!text || !*text)
		return 0;
	char* end = nullptr;
	const double value = std::strtod (text, &end);
	if (end == text || *end != 0 || !isUsableScaleFactor (value))
		return 0;
	return value;
}

int scaledLength (CCoord length, double factor)
{
	return static_cast<int> (std::lround (length * factor));
}

CRect toPhysical (const CRect& rect, double factor)
{
	if (factor == 1)
		return rect;
	return CRect (std::floor (rect.left * factor + kPixelSlack),
	              std::floor (rect.top * factor + kPixelSlack),
	              std::ceil (rect.right * factor - kPixelSlack),
	              std::ceil (rect.bottom * factor - kPixelSlack));
}

} // namespace VSTGUI
