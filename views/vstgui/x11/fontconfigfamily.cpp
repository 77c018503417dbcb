// Font names resolved through fontconfig: the family cairo will draw for a name.
#include "vstgui/nativeimage.h"

#include <fontconfig/fontconfig.h>

#include <map>

namespace VSTGUI {
namespace Native {

std::string resolveFontFamily (const std::string& name)
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

} // namespace Native
} // namespace VSTGUI
