#include "vstgui/cdrawcontext.h"

namespace VSTGUI {

CDrawContext::CDrawContext (NativeContext* native) : native (native) {}

void CDrawContext::drawRect (const CRect& rect, CDrawStyle style)
{
	if (style == kDrawFilled || style == kDrawFilledAndStroked)
		fillRect (rect, fillColor);
	if (style == kDrawStroked || style == kDrawFilledAndStroked)
		strokeRect (rect);
}

CCoord CDrawContext::alignedLeft (const CRect& rect, CCoord width, CHoriTxtAlign align)
{
	if (align == kCenterText)
		return rect.left + (rect.width () - width) / 2;
	if (align == kRightText)
		return rect.right - width;
	return rect.left;
}

} // namespace VSTGUI
