#pragma once
// A font: family name, size in pixels and style bits.

#include "vstgui/cbaseobject.h"
#include "vstgui/crect.h"

#include <string>

namespace VSTGUI {

enum CTxtFace : int32_t
{
	kNormalFace = 0,
	kBoldFace = 1 << 1,
	kItalicFace = 1 << 2,
	kUnderlineFace = 1 << 3
};

class CFontDesc : public CBaseObject
{
public:
	CFontDesc (const char* name = "Arial", CCoord size = 12, int32_t style = kNormalFace);

	const std::string& getName () const { return name; }
	CCoord getSize () const { return size; }
	int32_t getStyle () const { return style; }
	void setName (const char* newName);
	void setSize (CCoord newSize) { size = newSize; }
	void setStyle (int32_t newStyle) { style = newStyle; }

	/** The family the system substitutes for the name: through fontconfig on Linux ("Arial"
	 *  gives "Liberation Sans" where only the Liberation fonts are installed), the name itself on
	 *  Windows, whose font mapper does the substitution. This is the family the text is drawn in;
	 *  it falls back to the name when fontconfig finds nothing. */
	const std::string& getResolvedFamily () const;

private:
	std::string name;
	CCoord size;
	int32_t style;
	mutable std::string resolved;
};

} // namespace VSTGUI
