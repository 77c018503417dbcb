#pragma once
// Points and rectangles in pixel coordinates (y grows downwards).

#include <algorithm>

namespace VSTGUI {

using CCoord = double;

struct CPoint
{
	CCoord x {0};
	CCoord y {0};

	CPoint () = default;
	CPoint (CCoord x, CCoord y) : x (x), y (y) {}

	CPoint& offset (CCoord dx, CCoord dy)
	{
		x += dx;
		y += dy;
		return *this;
	}
	bool operator== (const CPoint& o) const { return x == o.x && y == o.y; }
	bool operator!= (const CPoint& o) const { return !(*this == o); }
};

/** A rectangle given by its edges: left/top inclusive, right/bottom exclusive. */
struct CRect
{
	CCoord left {0};
	CCoord top {0};
	CCoord right {0};
	CCoord bottom {0};

	CRect () = default;
	CRect (CCoord l, CCoord t, CCoord r, CCoord b) : left (l), top (t), right (r), bottom (b) {}

	CCoord width () const { return right - left; }
	CCoord height () const { return bottom - top; }
	CCoord getWidth () const { return width (); }
	CCoord getHeight () const { return height (); }
	CRect& setWidth (CCoord w)
	{
		right = left + w;
		return *this;
	}
	CRect& setHeight (CCoord h)
	{
		bottom = top + h;
		return *this;
	}

	CPoint getTopLeft () const { return {left, top}; }
	CPoint getCenter () const { return {left + width () / 2, top + height () / 2}; }

	CRect& offset (CCoord dx, CCoord dy)
	{
		left += dx;
		right += dx;
		top += dy;
		bottom += dy;
		return *this;
	}
	CRect& moveTo (CCoord x, CCoord y) { return offset (x - left, y - top); }

	bool isEmpty () const { return right <= left || bottom <= top; }
	bool pointInside (const CPoint& p) const
	{
		return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
	}
	bool rectOverlap (const CRect& o) const
	{
		return !isEmpty () && !o.isEmpty () && left < o.right && o.left < right && top < o.bottom &&
		       o.top < bottom;
	}
	/** Shrinks this rectangle to its intersection with `o` (empty when they do not meet). */
	CRect& bound (const CRect& o)
	{
		left = std::max (left, o.left);
		top = std::max (top, o.top);
		right = std::max (left, std::min (right, o.right));
		bottom = std::max (top, std::min (bottom, o.bottom));
		return *this;
	}
	/** Grows this rectangle to enclose `o` as well; empty rectangles count for nothing. */
	CRect& unite (const CRect& o)
	{
		if (o.isEmpty ())
			return *this;
		if (isEmpty ())
			return *this = o;
		left = std::min (left, o.left);
		top = std::min (top, o.top);
		right = std::max (right, o.right);
		bottom = std::max (bottom, o.bottom);
		return *this;
	}

	bool operator== (const CRect& o) const
	{
		return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
	}
	bool operator!= (const CRect& o) const { return !(*this == o); }
};

} // namespace VSTGUI
