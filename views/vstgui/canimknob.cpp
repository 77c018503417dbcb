#include "vstgui/canimknob.h"

#include "vstgui/cbitmap.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {

CAnimKnob::CAnimKnob (const CRect& size, CControlListener* listener, int32_t tag,
                      int32_t subPixmaps, CCoord heightOfOneImage, CBitmap* background,
                      const CPoint& offset)
: CKnob (size, listener, tag, background, nullptr, offset), subPixmaps (subPixmaps),
  heightOfOneImage (heightOfOneImage)
{
}

CAnimKnob::CAnimKnob (const CRect& size, CControlListener* listener, int32_t tag,
                      CBitmap* background, const CPoint& offset)
: CKnob (size, listener, tag, background, nullptr, offset), subPixmaps (1),
  heightOfOneImage (size.height ())
{
	if (background && heightOfOneImage > 0)
		subPixmaps =
		    std::max (1, static_cast<int32_t> (background->getHeight () / heightOfOneImage));
}

int32_t CAnimKnob::getFrameIndex () const
{
	if (subPixmaps <= 1)
		return 0;
	float norm = std::clamp (getValueNormalized (), 0.f, 1.f);
	if (std::isnan (norm))
		norm = 0.f;
	return static_cast<int32_t> (std::lround (norm * static_cast<float> (subPixmaps - 1)));
}

void CAnimKnob::draw (CDrawContext* context)
{
	if (!background)
		return;
	CPoint where (backOffset.x, backOffset.y + heightOfOneImage * getFrameIndex ());
	background->draw (context, size, where);
}

} // namespace VSTGUI
