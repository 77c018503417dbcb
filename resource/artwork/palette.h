// Colours of the editor's dark theme, shared by every image the generator draws.
#pragma once

namespace Quorvane::Artwork
{

struct Colour
{
    double r, g, b, a = 1.0;

    // The same colour with another opacity.
    constexpr Colour withAlpha(double alpha) const { return {r, g, b, alpha}; }
};

// From 8-bit components, the way designers write colours down.
constexpr Colour rgb8(int r, int g, int b, double a = 1.0)
{
    return {r / 255.0, g / 255.0, b / 255.0, a};
}

// Linear blend: t = 0 gives a, t = 1 gives b.
constexpr Colour mix(Colour a, Colour b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

namespace Palette
{

// Surfaces, from the deepest (wells, grooves) to the raised panels.
constexpr Colour well = rgb8(12, 13, 16);
constexpr Colour backgroundTop = rgb8(30, 33, 38);
constexpr Colour backgroundBottom = rgb8(20, 22, 26);
constexpr Colour titleBar = rgb8(14, 15, 18);
constexpr Colour panel = rgb8(37, 40, 46);
constexpr Colour panelLow = rgb8(31, 34, 39);
constexpr Colour panelEdge = rgb8(52, 56, 64);
constexpr Colour hairline = rgb8(60, 65, 74);

// Lettering.
constexpr Colour text = rgb8(232, 234, 237);
constexpr Colour textDim = rgb8(138, 145, 155);
constexpr Colour textFaint = rgb8(92, 98, 108);

// Accents: the upper knobs and the switches in teal, the note-shaping knobs in amber.
constexpr Colour teal = rgb8(52, 196, 190);
constexpr Colour amber = rgb8(236, 164, 58);
constexpr Colour alert = rgb8(222, 78, 58);

// Level column.
constexpr Colour meterGreen = rgb8(56, 204, 96);
constexpr Colour meterYellow = rgb8(214, 214, 60);
constexpr Colour meterOrange = rgb8(244, 134, 38);
constexpr Colour meterUnlit = rgb8(58, 61, 67);

// Lamps.
constexpr Colour lampGreen = rgb8(70, 230, 110);
constexpr Colour lampDark = rgb8(30, 44, 35);

} // namespace Palette
} // namespace Quorvane::Artwork
