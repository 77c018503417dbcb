#include "vstgui/cbitmap.h"

#include "vstgui/cdrawcontext.h"
#include "vstgui/nativeimage.h"
#include "vstgui/resourceprovider.h"

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

CBitmap::~CBitmap () { Native::releaseImage (image); }

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
