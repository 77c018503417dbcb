#pragma once
// A reference-counted image decoded from PNG bytes of a named resource.

#include "nativegraphics.h"
#include "vstgui/cbaseobject.h"
#include "vstgui/crect.h"
#include "vstgui/cresourcedescription.h"

#include <cstddef>

namespace VSTGUI {

class CDrawContext;

class CBitmap : public CBaseObject
{
public:
	/** Loads the named resource through the installed resource provider; a missing or
	 *  undecodable resource gives an empty bitmap (isLoaded() false, size 0 × 0). */
	explicit CBitmap (const CResourceDescription& desc);
	/** Decodes PNG bytes directly. */
	CBitmap (const unsigned char* pngData, size_t size);
	/** A transparent bitmap of the given size. */
	CBitmap (CCoord width, CCoord height);
	~CBitmap () override;

	CCoord getWidth () const { return width; }
	CCoord getHeight () const { return height; }
	bool isLoaded () const { return image != nullptr; }
	const CResourceDescription& getResourceDescription () const { return desc; }

	/** Draws the part of the bitmap starting at `offset` into `dest` (clipped to `dest`). */
	void draw (CDrawContext* context, const CRect& dest, const CPoint& offset = CPoint (0, 0),
	           float alpha = 1.f);

	/** The decoded image (32-bit ARGB, premultiplied), or null. */
	NativeImage* getNativeImage () const { return image; }

private:
	void adopt (NativeImage* decoded);

	CResourceDescription desc;
	NativeImage* image {nullptr};
	CCoord width {0};
	CCoord height {0};
};

} // namespace VSTGUI
