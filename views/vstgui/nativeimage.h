#pragma once
// What the shared views ask of a back end's images: decoding, creating, measuring, releasing and
// saving them, drawing into them, and the font family text is drawn in. Each back end
// (x11/ with cairo, win32/ with GDI+) implements these once.

#include "nativegraphics.h"

#include <cstddef>
#include <string>

namespace VSTGUI {
namespace Native {

/** Decodes PNG bytes; null when they are not a PNG the back end can read. */
NativeImage* decodePng (const unsigned char* data, size_t size);
/** A fully transparent image; null for an empty or impossible size. */
NativeImage* createImage (int width, int height);
void releaseImage (NativeImage* image);
int imageWidth (NativeImage* image);
int imageHeight (NativeImage* image);
/** Writes the image as a PNG file. */
bool writePng (NativeImage* image, const char* path);

/** A drawing context on `image`, to be handed back to endDrawing when done. */
NativeContext* beginDrawing (NativeImage* image);
void endDrawing (NativeImage* image, NativeContext* context);

/** The family the system draws for a font name. */
std::string resolveFontFamily (const std::string& name);

} // namespace Native
} // namespace VSTGUI
