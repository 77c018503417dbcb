#include "vstgui/cviewcontainer.h"

#include "vstgui/cbitmap.h"
#include "vstgui/cdrawcontext.h"

#include <algorithm>

namespace VSTGUI {

CViewContainer::CViewContainer (const CRect& size) : CView (size) {}

CViewContainer::~CViewContainer () { removeAll (true); }

bool CViewContainer::addView (CView* view)
{
	if (!view || view == this || isChild (view) || view->getParentView ())
		return false;
	children.push_back (view);
	if (isAttached () || isRoot ())
		view->attached (this);
	view->invalid ();
	return true;
}

bool CViewContainer::removeView (CView* view, bool withForget)
{
	auto it = std::find (children.begin (), children.end (), view);
	if (it == children.end ())
		return false;
	children.erase (it);
	if (view->getParentView () == this)
		view->removed (this);
	if (withForget)
		view->forget ();
	return true;
}

void CViewContainer::removeAll (bool withForget)
{
	// Last added first, so the views go in the reverse order of their creation.
	while (!children.empty ())
		removeView (children.back (), withForget);
}

CView* CViewContainer::getView (int32_t index) const
{
	if (index < 0 || index >= getNbViews ())
		return nullptr;
	return children[static_cast<size_t> (index)];
}

bool CViewContainer::isChild (const CView* view) const
{
	return std::find (children.begin (), children.end (), view) != children.end ();
}

void CViewContainer::setBackgroundColor (const CColor& color)
{
	backgroundColor = color;
	setDirty ();
}

CRect CViewContainer::toLocal (const CRect& parentRect) const
{
	CRect r (parentRect);
	if (!isRoot ())
		r.offset (-size.left, -size.top);
	return r;
}

void CViewContainer::draw (CDrawContext* context) { drawRect (context, size); }

void CViewContainer::drawRect (CDrawContext* context, const CRect& updateRect)
{
	context->save ();
	if (!isRoot ())
	{
		context->translate (size.left, size.top);
		context->clipRect (getLocalBounds ());
	}
	CRect local = toLocal (updateRect);
	if (backgroundColor.alpha)
		context->fillRect (getLocalBounds (), backgroundColor);
	if (background)
		background->draw (context, getLocalBounds (), backOffset);
	for (CView* child : children)
	{
		if (!child->isVisible () || !child->getViewSize ().rectOverlap (local))
			continue;
		context->save ();
		context->clipRect (child->getViewSize ());
		child->drawRect (context, local);
		context->restore ();
		child->setDirty (false);
	}
	context->restore ();
}

void CViewContainer::collectViewsAt (const CPoint& where, const CButtonState& buttons,
                                     std::vector<CView*>& result)
{
	CPoint local (where);
	if (!isRoot ())
		local.offset (-size.left, -size.top);
	for (auto it = children.rbegin (); it != children.rend (); ++it)
	{
		CView* child = *it;
		if (!child->isVisible () || !child->getMouseEnabled () || !child->hitTest (local, buttons))
			continue;
		if (auto* container = dynamic_cast<CViewContainer*> (child))
			container->collectViewsAt (local, buttons, result);
		result.push_back (child);
	}
}

void CViewContainer::collectDirtyRects (CRect& region) const
{
	for (const CView* child : children)
	{
		if (!child->isVisible ())
			continue;
		if (child->isDirty ())
			region.unite (child->toFrame (child->getViewSize ()));
		if (auto* container = dynamic_cast<const CViewContainer*> (child))
			container->collectDirtyRects (region);
	}
}

bool CViewContainer::attached (CViewContainer* newParent)
{
	CView::attached (newParent);
	for (CView* child : children)
		child->attached (this);
	return true;
}

bool CViewContainer::removed (CViewContainer* oldParent)
{
	for (CView* child : children)
		child->removed (this);
	return CView::removed (oldParent);
}

} // namespace VSTGUI
