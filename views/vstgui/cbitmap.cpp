#include "vstgui/cbitmap.h"

#include "vstgui/cdrawcontext.h"
#include "vstgui/nativeimage.h"
#include "vstgui/resourceprovider.h"

#include <cmath>
#include <iterator>

namespace VSTGUI {

CBitmap::CBitmap (const CResourceDescription& desc) : desc (desc)
{
	const unsigned char* data = nullptr;
	size_t size = 0;
	ResourceProvider provider = getResourceProvider ();
	if (provider && !desc.isEmpty () && provider (desc.getName (), &data, &size) && data)
		adopt (Native::decodePng (data, size));
}

CBitmap::CBitmap (const unsigned char* pngData, size_t size)
{
	adopt (Native::decodePng (pngData, size));
}

CBitmap::CBitmap (CCoord w, CCoord h)
{
	if (w > 0 && h > 0)
		adopt (Native::createImage (static_cast<int> (w), static_cast<int> (h)));
}

CBitmap::~CBitmap ()
{
	Native::releaseImage (scaledImage);
	Native::releaseImage (image);
}

namespace {
// The factors the artwork is painted at, besides 1.
constexpr double kArtworkSets[] = {1.25, 1.5, 1.75, 2, 2.5, 3};
} // namespace

double CBitmap::artworkSetFor (double factor)
{
	if (factor <= 1)
		return 1;
	for (double set : kArtworkSets)
		if (set >= factor - 1e-6)
			return set;
	return kArtworkSets[std::size (kArtworkSets) - 1];
}

std::string CBitmap::scaledResourceName (const char* name, double set)
{
	std::string result (name ? name : "");
	// Written out by hand: the host's locale may have a decimal comma.
	static const char* const kQuarters[] = {"", ".25", ".5", ".75"};
	const long quarters = std::lround (set * 4);
	const std::string suffix = "@" + std::to_string (quarters / 4) + kQuarters[quarters % 4] + "x";
	const size_t dot = result.rfind ('.');
	result.insert (dot == std::string::npos ? result.size () : dot, suffix);
	return result;
}

NativeImage* CBitmap::getNativeImage (double factor)
{
	const double set = artworkSetFor (factor);
	if (set == 1 || !image || desc.isEmpty ())
		return image;
	if (set != scaledSet)
	{
		Native::releaseImage (scaledImage);
		scaledImage = nullptr;
		scaledSet = set;
		const unsigned char* data = nullptr;
		size_t size = 0;
		ResourceProvider provider = getResourceProvider ();
		const std::string name = scaledResourceName (desc.getName (), set);
		if (provider && provider (name.c_str (), &data, &size) && data)
			scaledImage = Native::decodePng (data, size);
	}
	return scaledImage ? scaledImage : image;
}

void CBitmap::adopt (NativeImage* decoded)
{
	if (!decoded)
		return;
	image = decoded;
	width = Native::imageWidth (decoded);
	height = Native::imageHeight (decoded);
}

void CBitmap::draw (CDrawContext* context, const CRect& dest, const CPoint& offset, float alpha)
{
	if (context)
		context->drawBitmap (this, dest, offset, alpha);
}

} // namespace VSTGUI
