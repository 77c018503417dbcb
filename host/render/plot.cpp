#include "plot.h"

#include "support/hosterror.h"
#include "support/temporaryfile.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <memory>

namespace Quorvane
{

namespace
{

constexpr int kWidth = 1200;
constexpr int kHeight = 560;
constexpr double kLeft = 78;
constexpr double kRight = 24;
constexpr double kTop = 48;
constexpr double kBottom = 58;
constexpr double kTopDb = 0.0;
constexpr double kBottomDb = -90.0;

struct Area
{
    double x, y, width, height, seconds;

    double xAt(double time) const { return x + width * (seconds > 0 ? time / seconds : 0.0); }
    double yAt(double db) const
    {
        double clamped = std::clamp(db, kBottomDb, kTopDb);
        return y + height * (kTopDb - clamped) / (kTopDb - kBottomDb);
    }
};

double niceStep(double span, int wanted)
{
    const double steps[] = {0.01, 0.02, 0.05, 0.1, 0.2, 0.25, 0.5, 1,    2,    5,
                            10,   15,   30,   60,  120, 300,  600, 1200, 1800, 3600};
    for (double step : steps)
        if (span / step <= wanted)
            return step;
    return std::ceil(span / wanted / 3600.0) * 3600.0;
}

void text(cairo_t* cr, double x, double y, const std::string& s, double alignX, double alignY)
{
    cairo_text_extents_t extents;
    cairo_text_extents(cr, s.c_str(), &extents);
    cairo_move_to(cr, x - extents.width * alignX - extents.x_bearing,
                  y - extents.height * alignY - extents.y_bearing);
    cairo_show_text(cr, s.c_str());
}

void drawAxes(cairo_t* cr, const Area& area)
{
    char label[32];
    cairo_set_line_width(cr, 1.0);
    cairo_set_font_size(cr, 13.0);
    for (double db = kTopDb; db >= kBottomDb - 1e-9; db -= 10.0)
    {
        double y = std::round(area.yAt(db)) + 0.5;
        cairo_set_source_rgb(cr, 0.88, 0.88, 0.88);
        cairo_move_to(cr, area.x, y);
        cairo_line_to(cr, area.x + area.width, y);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        std::snprintf(label, sizeof(label), "%.0f", db);
        text(cr, area.x - 8, y, label, 1.0, 0.5);
    }
    double step = niceStep(area.seconds, 12);
    for (double t = 0.0; t <= area.seconds + 1e-9; t += step)
    {
        double x = std::round(area.xAt(t)) + 0.5;
        cairo_set_source_rgb(cr, 0.88, 0.88, 0.88);
        cairo_move_to(cr, x, area.y);
        cairo_line_to(cr, x, area.y + area.height);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        std::snprintf(label, sizeof(label), step < 1.0 ? "%.2f" : "%.0f", t);
        text(cr, x, area.y + area.height + 8, label, 0.5, 0.0);
    }
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    cairo_rectangle(cr, area.x + 0.5, area.y + 0.5, area.width, area.height);
    cairo_stroke(cr);

    text(cr, area.x + area.width / 2, kHeight - 12, "time (s)", 0.5, 1.0);
    cairo_save(cr);
    cairo_translate(cr, 20, area.y + area.height / 2);
    cairo_rotate(cr, -M_PI / 2);
    text(cr, 0, 0, "level and gain (dB)", 0.5, 0.5);
    cairo_restore(cr);
}

// A filled band from the bottom of the plot up to each segment's peak level.
void drawLevel(cairo_t* cr, const Area& area, const RenderTrace& trace, bool output)
{
    const auto& segments = trace.segments();
    const double segmentSeconds =
        static_cast<double>(trace.framesPerSegment()) / trace.sampleRate();
    cairo_move_to(cr, area.x, area.yAt(kBottomDb));
    for (size_t i = 0; i < segments.size(); ++i)
    {
        float peak = output ? segments[i].outputPeak : segments[i].inputPeak;
        double y = area.yAt(RenderTrace::toDb(peak));
        cairo_line_to(cr, area.xAt(static_cast<double>(i) * segmentSeconds), y);
        cairo_line_to(
            cr, area.xAt(std::min(area.seconds, static_cast<double>(i + 1) * segmentSeconds)), y);
    }
    cairo_line_to(cr, area.x + area.width, area.yAt(kBottomDb));
    cairo_close_path(cr);
    cairo_fill(cr);
}

void drawGate(cairo_t* cr, const Area& area, const RenderTrace& trace)
{
    const auto& segments = trace.segments();
    const double segmentSeconds =
        static_cast<double>(trace.framesPerSegment()) / trace.sampleRate();
    bool drawing = false;
    for (size_t i = 0; i < segments.size(); ++i)
    {
        if (!segments[i].hasGate)
        {
            drawing = false;
            continue;
        }
        double x =
            area.xAt(std::min(area.seconds, (static_cast<double>(i) + 0.5) * segmentSeconds));
        double y = area.yAt(segments[i].gateDb);
        if (drawing)
            cairo_line_to(cr, x, y);
        else
            cairo_move_to(cr, x, y);
        drawing = true;
    }
    cairo_set_source_rgb(cr, 0.93, 0.45, 0.05);
    cairo_set_line_width(cr, 2.0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);

    // Where the gain moved within one segment (the readings are finer than
    // a column of the picture), a stroke from its lowest to its highest value.
    for (size_t i = 0; i < segments.size(); ++i)
    {
        if (!segments[i].hasGate || segments[i].gateMinDb >= segments[i].gateDb)
            continue;
        double x =
            area.xAt(std::min(area.seconds, (static_cast<double>(i) + 0.5) * segmentSeconds));
        cairo_move_to(cr, x, area.yAt(segments[i].gateMinDb));
        cairo_line_to(cr, x, area.yAt(segments[i].gateDb));
    }
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void drawLegend(cairo_t* cr, const Area& area, bool withGate)
{
    struct Entry
    {
        const char* name;
        double r, g, b, a;
        bool line;
    };
    const Entry entries[] = {{"input", 0.62, 0.62, 0.62, 1.0, false},
                             {"output", 0.16, 0.42, 0.78, 0.75, false},
                             {"gate gain", 0.93, 0.45, 0.05, 1.0, true}};
    double x = area.x + area.width - 330;
    const double y = kTop - 22;
    cairo_set_font_size(cr, 13.0);
    for (const auto& e : entries)
    {
        if (e.line && !withGate)
            continue;
        cairo_set_source_rgba(cr, e.r, e.g, e.b, e.a);
        if (e.line)
        {
            cairo_set_line_width(cr, 2.0);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + 22, y);
            cairo_stroke(cr);
        }
        else
        {
            cairo_rectangle(cr, x, y - 6, 22, 12);
            cairo_fill(cr);
        }
        cairo_set_source_rgb(cr, 0.15, 0.15, 0.15);
        text(cr, x + 28, y, e.name, 0.0, 0.5);
        x += 110;
    }
}

} // namespace

void drawPlot(const RenderTrace& trace, const std::string& file, const std::string& title)
{
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight), cairo_surface_destroy);
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> context(cairo_create(surface.get()),
                                                               cairo_destroy);
    cairo_t* cr = context.get();
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);

    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);

    Area area{kLeft, kTop, kWidth - kLeft - kRight, kHeight - kTop - kBottom,
              static_cast<double>(trace.totalFrames()) / trace.sampleRate()};
    drawAxes(cr, area);

    cairo_save(cr);
    cairo_rectangle(cr, area.x, area.y, area.width, area.height);
    cairo_clip(cr);
    if (!trace.segments().empty())
    {
        cairo_set_source_rgb(cr, 0.62, 0.62, 0.62);
        drawLevel(cr, area, trace, false);
        cairo_set_source_rgba(cr, 0.16, 0.42, 0.78, 0.75);
        drawLevel(cr, area, trace, true);
        if (trace.hasGate())
            drawGate(cr, area, trace);
    }
    cairo_restore(cr);

    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_set_font_size(cr, 15.0);
    text(cr, area.x, kTop - 22, title, 0.0, 0.5);
    drawLegend(cr, area, trace.hasGate());

    cairo_surface_flush(surface.get());
    TemporaryFile temporary(file);
    if (cairo_surface_write_to_png(surface.get(), temporary.path().c_str()) != CAIRO_STATUS_SUCCESS)
        throw HostError(kExitOutput, "cannot write plot '" + file + "'");
    temporary.commit();
}

} // namespace Quorvane
