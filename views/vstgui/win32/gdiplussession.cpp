#include "gdiplussession.h"

#include "nativegraphics.h"

namespace VSTGUI {
namespace GdiplusSession {

namespace {
int count = 0;
ULONG_PTR token = 0;
} // namespace

void acquire ()
{
	if (count++ > 0)
		return;
	Gdiplus::GdiplusStartupInput input;
	if (Gdiplus::GdiplusStartup (&token, &input, nullptr) != Gdiplus::Ok)
		token = 0;
}

void release ()
{
	if (count == 0 || --count > 0)
		return;
	if (token)
		Gdiplus::GdiplusShutdown (token);
	token = 0;
}

int users () { return count; }

} // namespace GdiplusSession
} // namespace VSTGUI
