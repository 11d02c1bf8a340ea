// The complex elementary functions behind "^" and the built-in functions. None fails:
// overflow gives infinities, undefined points give NaN parts.
#pragma once
#include "values/complex.h"

namespace cmath {

Complex exp(Complex z);
Complex log(Complex z);
Complex log10(Complex z);
Complex sqrt(Complex z);
Complex sin(Complex z);
Complex cos(Complex z);
Complex tan(Complex z);
Complex sinh(Complex z);
Complex cosh(Complex z);
Complex tanh(Complex z);
Complex asin(Complex z);
Complex acos(Complex z);
Complex atan(Complex z);
Complex pow(Complex z, Complex w);

}  // namespace cmath
