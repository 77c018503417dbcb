// Images as GDI+ bitmaps in premultiplied 32-bit ARGB: PNG decoding from memory, writing PNG
// files, drawing into them.
#include "vstgui/nativeimage.h"

#include "gdiplussession.h"

#include <shlwapi.h>

#include <memory>
#include <vector>

namespace VSTGUI {
namespace Native {

namespace {

constexpr Gdiplus::PixelFormat kFormat = PixelFormat32bppPARGB;

bool pngEncoder (CLSID* clsid)
{
	UINT count = 0, bytes = 0;
	if (Gdiplus::GetImageEncodersSize (&count, &bytes) != Gdiplus::Ok || bytes == 0)
		return false;
	std::vector<unsigned char> buffer (bytes);
	auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*> (buffer.data ());
	if (Gdiplus::GetImageEncoders (count, bytes, codecs) != Gdiplus::Ok)
		return false;
	for (UINT i = 0; i < count; ++i)
		if (codecs[i].MimeType && lstrcmpiW (codecs[i].MimeType, L"image/png") == 0)
		{
			*clsid = codecs[i].Clsid;
			return true;
		}
	return false;
}

} // namespace

NativeImage* createImage (int width, int height)
{
	if (width <= 0 || height <= 0)
		return nullptr;
	GdiplusSession::acquire ();
	auto* image = new Gdiplus::Bitmap (width, height, kFormat);
	if (image->GetLastStatus () != Gdiplus::Ok)
	{
		delete image;
		GdiplusSession::release ();
		return nullptr;
	}
	// A new bitmap's pixels are not promised to be clear.
	Gdiplus::Graphics clear (image);
	clear.Clear (Gdiplus::Color (0, 0, 0, 0));
	return image;
}

NativeImage* decodePng (const unsigned char* data, size_t size)
{
	if (!data || size == 0 || size > 0x7fffffff)
		return nullptr;
	IStream* stream = SHCreateMemStream (data, static_cast<UINT> (size));
	if (!stream)
		return nullptr;
	GdiplusSession::acquire ();
	NativeImage* result = nullptr;
	{
		// The decoded bitmap reads its stream as long as it lives: copy its pixels, converted to
		// premultiplied ARGB, into a bitmap of our own and let both go.
		std::unique_ptr<Gdiplus::Bitmap> decoded (Gdiplus::Bitmap::FromStream (stream));
		if (decoded && decoded->GetLastStatus () == Gdiplus::Ok)
		{
			const int w = static_cast<int> (decoded->GetWidth ());
			const int h = static_cast<int> (decoded->GetHeight ());
			if (NativeImage* copy = createImage (w, h))
			{
				Gdiplus::Rect all (0, 0, w, h);
				Gdiplus::BitmapData target {};
				bool copied = false;
				if (copy->LockBits (&all, Gdiplus::ImageLockModeWrite, kFormat, &target) ==
				    Gdiplus::Ok)
				{
					copied = decoded->LockBits (&all,
					                            Gdiplus::ImageLockModeRead |
					                                Gdiplus::ImageLockModeUserInputBuf,
					                            kFormat, &target) == Gdiplus::Ok;
					if (copied)
						decoded->UnlockBits (&target);
					copy->UnlockBits (&target);
				}
				if (copied)
					result = copy;
				else
					releaseImage (copy);
			}
		}
	}
	stream->Release ();
	GdiplusSession::release ();
	return result;
}

void releaseImage (NativeImage* image)
{
	if (!image)
		return;
	delete image;
	GdiplusSession::release ();
}

int imageWidth (NativeImage* image) { return image ? static_cast<int> (image->GetWidth ()) : 0; }
int imageHeight (NativeImage* image) { return image ? static_cast<int> (image->GetHeight ()) : 0; }

bool writePng (NativeImage* image, const char* path)
{
	CLSID png;
	if (!image || !path || !pngEncoder (&png))
		return false;
	const int length = MultiByteToWideChar (CP_ACP, 0, path, -1, nullptr, 0);
	if (length <= 0)
		return false;
	std::wstring widePath (static_cast<size_t> (length), L'\0');
	MultiByteToWideChar (CP_ACP, 0, path, -1, &widePath[0], length);
	return image->Save (widePath.c_str (), &png, nullptr) == Gdiplus::Ok;
}

NativeContext* beginDrawing (NativeImage* image)
{
	auto* graphics = new Gdiplus::Graphics (image);
	// Pixel edges at whole coordinates (as cairo has them), smooth shapes, exact bitmap copies.
	graphics->SetPixelOffsetMode (Gdiplus::PixelOffsetModeHalf);
	graphics->SetSmoothingMode (Gdiplus::SmoothingModeAntiAlias);
	graphics->SetInterpolationMode (Gdiplus::InterpolationModeNearestNeighbor);
	graphics->SetCompositingQuality (Gdiplus::CompositingQualityHighSpeed);
	return graphics;
}

void endDrawing (NativeImage*, NativeContext* context) { delete context; }

// Windows' font mapper substitutes by itself (and Wine follows its Fonts\Replacements key).
std::string resolveFontFamily (const std::string& name) { return name; }

} // namespace Native
} // namespace VSTGUI
