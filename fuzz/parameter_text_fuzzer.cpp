// Every parameter's toString and fromString, through the controller as a host calls them and, for
// the continuous controls' own classes, directly: texts bounded and terminated, values in 0..1, and
// every shown text read back.
//
// Input: one byte choosing the parameter (IDs beyond the last exercise the controller's refusal),
// eight bytes of a double for toString (any bit pattern: NaN, infinities, far out of range), then
// the UTF-16 text for fromString, of any length.
#include "fuzzcheck.h"
#include "fuzzplugin.h"

#include "paramids.h"

#include "public.sdk/source/vst/vstparameters.h"

#include <cmath>
#include <cstring>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Quorvane::Fuzz;

namespace
{

// The host's buffer is String128; anything written past it would be caught by the sanitizer, a
// missing terminator here.
void checkTerminated(const String128 text)
{
    for (int i = 0; i < 128; ++i)
        if (text[i] == 0)
            return;
    fail("display text without a terminator");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 9)
        return 0;
    static ControllerHandle* controller = new ControllerHandle;

    const ParamID id = data[0] % (Quorvane::kNumParams + 2);
    double value;
    std::memcpy(&value, data + 1, sizeof(value));
    std::vector<TChar> typed((size - 9) / 2 + 1, 0);
    std::memcpy(typed.data(), data + 9, (size - 9) / 2 * 2);

    String128 shown;
    std::memset(shown, 0xFF, sizeof(shown));
    Parameter* parameter = (*controller)->getParameterObject(id);
    if (!parameter)
    {
        ParamValue untouched = 0.25;
        check((*controller)->getParamStringByValue(id, value, shown) != kResultOk,
              "text for an unknown parameter");
        check((*controller)->getParamValueByString(id, typed.data(), untouched) != kResultOk ||
                  untouched == 0.25,
              "value for an unknown parameter");
        return 0;
    }

    // What the host asks for: any value, any text, through the controller.
    check((*controller)->getParamStringByValue(id, value, shown) == kResultOk,
          "no text for a parameter");
    checkTerminated(shown);
    ParamValue parsed = 0.5;
    if ((*controller)->getParamValueByString(id, typed.data(), parsed) == kResultOk)
        check(parsed >= 0.0 && parsed <= 1.0, "typed text gave a value outside 0..1");

    // The continuous controls' own classes take any value directly as well.
    if (Quorvane::isContinuousParam(id))
    {
        std::memset(shown, 0xFF, sizeof(shown));
        parameter->toString(value, shown);
        checkTerminated(shown);
        parsed = 0.5;
        if (parameter->fromString(typed.data(), parsed))
            check(parsed >= 0.0 && parsed <= 1.0, "typed text gave a value outside 0..1");
    }

    // Whatever a parameter shows, for any value, it reads back to a value in range.
    if (!std::isnan(value))
    {
        (*controller)->getParamStringByValue(id, value, shown);
        ParamValue back = -1.0;
        const bool read = (*controller)->getParamValueByString(id, shown, back) == kResultOk;
        check(read && back >= 0.0 && back <= 1.0, "a parameter's own text does not read back");
    }
    return 0;
}
