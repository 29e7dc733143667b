// Evaluates arbitrary text as a point-list expression: every input must give
// a value or one of the two documented exceptions, with no undefined
// behaviour on the way (overflow, division, token handling).
#include <cstdint>
#include <string>

#include "nvEvaluator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const String Text(reinterpret_cast<const char*>(Data), Size);
    try {
        const int Value = TnvEvaluator::Evaluate(Text);
        // A value's own text evaluates to itself.
        if (Value >= 0 && TnvEvaluator::Evaluate(IntToStr(Value)) != Value)
            __builtin_trap();
    } catch (const EConvertError&) {
    } catch (const EInvalidOperation&) {
    }
    return 0;
}
