#pragma once
// A view that holds other views, draws them in the order they were added and owns them.

#include "vstgui/ccolor.h"
#include "vstgui/cview.h"

#include <vector>

namespace VSTGUI {

class CViewContainer : public CView
{
public:
	explicit CViewContainer (const CRect& size);
	~CViewContainer () override;

	/** Adds `view` on top of the others; the container takes over the caller's reference. */
	virtual bool addView (CView* view);
	/** Removes `view`; with `withForget` the container drops its reference. */
	virtual bool removeView (CView* view, bool withForget = true);
	virtual void removeAll (bool withForget = true);

	int32_t getNbViews () const { return static_cast<int32_t> (children.size ()); }
	CView* getView (int32_t index) const;
	bool isChild (const CView* view) const;

	/** Filled under the background bitmap; fully transparent (nothing) by default. */
	void setBackgroundColor (const CColor& color);
	const CColor& getBackgroundColor () const { return backgroundColor; }

	/** The container's own area in its children's coordinates: (0, 0, width, height). */
	CRect getLocalBounds () const { return CRect (0, 0, size.width (), size.height ()); }

	void draw (CDrawContext* context) override;
	void drawRect (CDrawContext* context, const CRect& updateRect) override;

	/** Views under `where` (this container's parent coordinates), topmost first, descending
	 *  into child containers; only visible, mouse-enabled views that pass their hit test. */
	void collectViewsAt (const CPoint& where, const CButtonState& buttons,
	                     std::vector<CView*>& result);
	/** Unites the frame rectangles of every visible dirty view below this container. */
	void collectDirtyRects (CRect& region) const;

	bool attached (CViewContainer* newParent) override;
	bool removed (CViewContainer* oldParent) override;

protected:
	/** True for the frame: its children's coordinates are frame coordinates. */
	virtual bool isRoot () const { return false; }
	CRect toLocal (const CRect& parentRect) const;

	std::vector<CView*> children;
	CColor backgroundColor {kTransparentCColor};
};

} // namespace VSTGUI
