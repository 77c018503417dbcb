#include "viewtesthelpers.h"

#include <map>

namespace QuorvaneTest
{

using namespace VSTGUI;

std::vector<unsigned char> stripPng(int w, int frameHeight, const std::vector<CColor>& colors)
{
    int frames = static_cast<int>(colors.size());
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, frameHeight * frames);
    cairo_t* cr = cairo_create(s);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    for (int i = 0; i < frames; ++i)
    {
        const CColor& c = colors[static_cast<size_t>(i)];
        cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
        cairo_rectangle(cr, 0, i * frameHeight, w, frameHeight);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    std::vector<unsigned char> bytes;
    cairo_surface_write_to_png_stream(
        s,
        [](void* closure, const unsigned char* data, unsigned int length)
        {
            auto* out = static_cast<std::vector<unsigned char>*>(closure);
            out->insert(out->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &bytes);
    cairo_surface_destroy(s);
    return bytes;
}

CBitmap* stripBitmap(int w, int frameHeight, const std::vector<CColor>& colors)
{
    std::vector<unsigned char> png = stripPng(w, frameHeight, colors);
    return new CBitmap(png.data(), png.size());
}

CColor pixel(cairo_surface_t* surface, int x, int y)
{
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    uint32_t argb = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
    uint8_t a = static_cast<uint8_t>(argb >> 24);
    auto un = [a](uint32_t v) { return static_cast<uint8_t>(a ? (v * 255 + a / 2) / a : 0); };
    return CColor(un((argb >> 16) & 0xFF), un((argb >> 8) & 0xFF), un(argb & 0xFF), a);
}

namespace
{
std::map<std::string, std::vector<unsigned char>> gResources;
}

void provideResources(std::vector<std::pair<std::string, std::vector<unsigned char>>> resources)
{
    gResources.clear();
    for (auto& r : resources)
        gResources[r.first] = std::move(r.second);
    setResourceProvider(
        [](const char* name, const unsigned char** data, size_t* size)
        {
            auto it = gResources.find(name);
            if (it == gResources.end())
                return false;
            *data = it->second.data();
            *size = it->second.size();
            return true;
        });
}

std::string RecordingListener::sequence() const
{
    std::string result;
    for (const Event& e : events)
        result += (result.empty() ? "" : " ") + e.what;
    return result;
}

void click(CFrame* frame, double x, double y, int32_t modifiers)
{
    CPoint p(x, y);
    frame->onMouseDown(p, CButtonState(kLButton | modifiers));
    CPoint q(x, y);
    frame->onMouseUp(q, CButtonState(kLButton | modifiers));
}

void drag(CFrame* frame, double x0, double y0, double x1, double y1, int32_t modifiers, int steps)
{
    CPoint p(x0, y0);
    frame->onMouseDown(p, CButtonState(kLButton | modifiers));
    for (int i = 1; i <= steps; ++i)
    {
        CPoint m(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
        frame->onMouseMoved(m, CButtonState(kLButton | modifiers));
    }
    CPoint q(x1, y1);
    frame->onMouseUp(q, CButtonState(kLButton | modifiers));
}

void typeKey(CFrame* frame, char c)
{
    VstKeyCode key;
    key.character = static_cast<unsigned char>(c);
    frame->onKeyDown(key);
}

void pressKey(CFrame* frame, VirtualKey k)
{
    VstKeyCode key;
    key.virt = k;
    frame->onKeyDown(key);
}

} // namespace QuorvaneTest
