#pragma once
// A reference-counted image decoded from PNG bytes of a named resource.

#include "nativegraphics.h"
#include "vstgui/cbaseobject.h"
#include "vstgui/crect.h"
#include "vstgui/cresourcedescription.h"

#include <cstddef>
#include <string>

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

	/** The image to draw with at display scale `factor`: the resource's artwork painted for the
	 *  set `artworkSetFor (factor)` (decoded the first time that set is asked for, and kept
	 *  until another is), or the 1× image where the bitmap has no such set. */
	NativeImage* getNativeImage (double factor);

	/** The artwork set drawn at `factor`: the smallest painted factor at least as large (the
	 *  largest beyond them); 1 at 1. */
	static double artworkSetFor (double factor);
	/** The resource name of `name`'s artwork painted at `set` ("knob.png" at 2: "knob@2x.png"). */
	static std::string scaledResourceName (const char* name, double set);

private:
	void adopt (NativeImage* decoded);

	CResourceDescription desc;
	NativeImage* image {nullptr};
	NativeImage* scaledImage {nullptr};
	double scaledSet {0}; // the set scaledImage holds (or failed to load); 0: none asked for yet
	CCoord width {0};
	CCoord height {0};
};

} // namespace VSTGUI
