#include "parametertext.h"

#include "displayformat.h"

#include "base/source/fstring.h"
#include "pluginterfaces/base/ustring.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace Quorvane
{

using Steinberg::Vst::ParamValue;
using Steinberg::Vst::String128;
using Steinberg::Vst::TChar;

void writeDisplayText(const char* text, String128 string)
{
    Steinberg::UString(string, str16BufferSize(String128)).fromAscii(text);
}

bool scanTypedNumber(const TChar* text, float& number)
{
    if (!text)
        return false;
    double value = 0.;
    // scanToEnd = true: try every position until "%lf" reads a number. The
    // scan also replaces the first "," by ".".
    if (!Steinberg::String(text).scanFloat(value, 0, true))
        return false;
    // sscanf happily reads "nan", "inf" and overflowing exponents; none of
    // them may reach a parameter.
    if (!std::isfinite(value))
        return false;
    if (value > static_cast<double>(FLT_MAX))
        value = FLT_MAX;
    else if (value < -static_cast<double>(FLT_MAX))
        value = -FLT_MAX;
    number = static_cast<float>(value);
    return true;
}

bool isTypedWord(const TChar* text, const char* word)
{
    if (!text)
        return false;
    auto isBlank = [](TChar c) { return c == ' ' || c == '\t'; };
    while (isBlank(*text))
        ++text;
    for (; *word; ++word, ++text)
    {
        const TChar lower = (*text >= 'A' && *text <= 'Z') ? TChar(*text - 'A' + 'a') : *text;
        if (lower != TChar(*word))
            return false;
    }
    while (isBlank(*text))
        ++text;
    return *text == 0;
}

void showDecibels(const ParamConverter& converter, ConverterMapping toPhysical,
                  ParamValue valueNormalized, String128 string)
{
    char text[kDisplayBufferSize];
    const float n = narrowNormalized(valueNormalized);
    formatDecibels((converter.*toPhysical)(n), text, sizeof(text));
    writeDisplayText(text, string);
}

void showMilliseconds(const ParamConverter& converter, ConverterMapping toPhysical, bool offAtZero,
                      ParamValue valueNormalized, String128 string)
{
    char text[kDisplayBufferSize];
    const float n = narrowNormalized(valueNormalized);
    if (offAtZero && n == 0.f)
    {
        writeDisplayText(kOffText, string);
        return;
    }
    formatMilliseconds((converter.*toPhysical)(n), text, sizeof(text));
    writeDisplayText(text, string);
}

bool readPhysical(const ParamConverter& converter, ConverterMapping fromPhysical, bool offAtZero,
                  const TChar* text, ParamValue& valueNormalized)
{
    if (offAtZero && isTypedWord(text, "off"))
    {
        valueNormalized = 0.;
        return true;
    }
    float physical = 0.f;
    if (!scanTypedNumber(text, physical))
        return false;
    return clampedNormalized((converter.*fromPhysical)(physical), valueNormalized);
}

bool clampedNormalized(float mapped, ParamValue& valueNormalized)
{
    if (!std::isfinite(mapped))
        return false;
    valueNormalized = std::clamp(mapped, 0.f, 1.f);
    return true;
}

bool switchFromNumber(float number, ParamValue& valueNormalized)
{
    // The same split as the text: above 0.5 is on.
    valueNormalized = number > 0.5f ? 1. : 0.;
    return true;
}

} // namespace Quorvane
