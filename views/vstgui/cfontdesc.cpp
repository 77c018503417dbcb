#include "vstgui/cfontdesc.h"

#include <fontconfig/fontconfig.h>

#include <map>

namespace VSTGUI {

namespace {

std::string resolveFamily (const std::string& name)
{
	// Resolved names never change while the process runs; remember them.
	static std::map<std::string, std::string> cache;
	auto it = cache.find (name);
	if (it != cache.end ())
		return it->second;

	std::string family = name;
	if (FcInit ())
	{
		FcPattern* pattern = FcPatternCreate ();
		FcPatternAddString (pattern, FC_FAMILY, reinterpret_cast<const FcChar8*> (name.c_str ()));
		FcConfigSubstitute (nullptr, pattern, FcMatchPattern);
		FcDefaultSubstitute (pattern);
		FcResult result = FcResultNoMatch;
		if (FcPattern* match = FcFontMatch (nullptr, pattern, &result))
		{
			FcChar8* found = nullptr;
			if (FcPatternGetString (match, FC_FAMILY, 0, &found) == FcResultMatch && found)
				family = reinterpret_cast<const char*> (found);
			FcPatternDestroy (match);
		}
		FcPatternDestroy (pattern);
	}
	cache.emplace (name, family);
	return family;
}

} // namespace

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
		resolved = resolveFamily (name);
	return resolved;
}

} // namespace VSTGUI
