// The elementary functions of the software extended arithmetic. Each is worked out with enough
// extra precision and then rounded once to the 64-bit mantissa, to nearest with ties to even, so
// that it gives the correctly rounded result (subnormal results included). Special values follow
// the C library's long double functions: NaN in gives NaN out, a domain error gives NaN,
// infinities and signed zeros as C's Annex F says.
#pragma once

#include "evaluator/Float80.h"

namespace funzioni::soft {

Float80 Sin(Float80 radians);
Float80 Cos(Float80 radians);
Float80 Atan(Float80 a);
Float80 Asin(Float80 a);
Float80 Acos(Float80 a);
Float80 Exp(Float80 a);
Float80 Exp2(Float80 a);
Float80 Log(Float80 a);
Float80 Log2(Float80 a);
Float80 Log10(Float80 a);
Float80 Pow(Float80 base, Float80 exponent);

}  // namespace funzioni::soft
