#pragma once
// Names a resource (a bitmap) that the module supplies through its resource provider.

#include <string>

namespace VSTGUI {

class CResourceDescription
{
public:
	CResourceDescription () = default;
	CResourceDescription (const char* name) : name (name ? name : "") {}
	CResourceDescription (const std::string& name) : name (name) {}

	const char* getName () const { return name.c_str (); }
	bool isEmpty () const { return name.empty (); }

private:
	std::string name;
};

} // namespace VSTGUI
