#include "vstgui/cview.h"

#include "vstgui/cbitmap.h"
#include "vstgui/cdrawcontext.h"
#include "vstgui/cframe.h"
#include "vstgui/cviewcontainer.h"

namespace VSTGUI {

CView::CView (const CRect& size) : size (size) {}

CView::~CView ()
{
	if (background)
		background->forget ();
}

void CView::draw (CDrawContext* context)
{
	if (background)
		background->draw (context, size, backOffset);
}

void CView::drawRect (CDrawContext* context, const CRect& /*updateRect*/) { draw (context); }

void CView::invalid () { invalidRect (size); }

void CView::invalidRect (const CRect& rect)
{
	if (frame)
		frame->invalidRect (toFrame (rect));
}

CMouseEventResult CView::onMouseDown (CPoint&, const CButtonState&)
{
	return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseUp (CPoint&, const CButtonState&)
{
	return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseMoved (CPoint&, const CButtonState&)
{
	return kMouseEventNotImplemented;
}
bool CView::onWheel (const CPoint&, float, const CButtonState&) { return false; }
int32_t CView::onKeyDown (VstKeyCode&) { return -1; }
int32_t CView::onKeyUp (VstKeyCode&) { return -1; }

bool CView::hitTest (const CPoint& where, const CButtonState&) { return size.pointInside (where); }

void CView::setViewSize (const CRect& rect, bool invalidate)
{
	if (invalidate)
		invalid ();
	size = rect;
	if (invalidate)
		invalid ();
}

void CView::setVisible (bool state)
{
	if (visible == state)
		return;
	visible = state;
	invalid ();
}

void CView::setTransparency (bool state)
{
	if (transparent == state)
		return;
	transparent = state;
	setDirty ();
}

void CView::setBackground (CBitmap* bitmap)
{
	if (bitmap == background)
		return;
	if (bitmap)
		bitmap->remember ();
	if (background)
		background->forget ();
	background = bitmap;
	setDirty ();
}

bool CView::attached (CViewContainer* newParent)
{
	parent = newParent;
	frame = newParent ? newParent->getFrame () : nullptr;
	setDirty ();
	return true;
}

bool CView::removed (CViewContainer* /*oldParent*/)
{
	if (frame)
	{
		invalid ();
		frame->onViewRemoved (this);
	}
	parent = nullptr;
	frame = nullptr;
	return true;
}

CRect CView::toFrame (const CRect& rect) const
{
	CRect r (rect);
	for (const CViewContainer* p = parent; p && p->getParentView (); p = p->getParentView ())
		r.offset (p->getViewSize ().left, p->getViewSize ().top);
	return r;
}

CPoint CView::fromFrame (const CPoint& where) const
{
	CPoint p (where);
	for (const CViewContainer* c = parent; c && c->getParentView (); c = c->getParentView ())
		p.offset (-c->getViewSize ().left, -c->getViewSize ().top);
	return p;
}

} // namespace VSTGUI
