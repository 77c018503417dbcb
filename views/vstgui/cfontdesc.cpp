#include "vstgui/cfontdesc.h"

#include "vstgui/nativeimage.h"

namespace VSTGUI {

CFontDesc::CFontDesc (const char* name, CCoord size, int32_t style)
: name (name ? name : ""), size (size), style (style)
{
}

void CFontDesc::setName (const char* newName)
{
	name = newName ? newName : "";
	resolved.clear ();
}

const std::string& CFontDesc::getResolvedFamily () const
{
	if (resolved.empty ())
		resolved = Native::resolveFontFamily (name);
	return resolved;
}

} // namespace VSTGUI
