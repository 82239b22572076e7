#include "extended.h"

#include <cmath>

namespace kalvanta {

double store(ext value)
{
    if (std::isnan(value))
        throw FloatError(FloatError::Kind::InvalidOperation);
    const double d = static_cast<double>(value);
    if (std::isinf(d))
        throw FloatError(FloatError::Kind::Overflow);
    return d;
}

ext divide(ext a, ext b)
{
    if (std::isnan(a) || std::isnan(b))
        throw FloatError(FloatError::Kind::InvalidOperation);
    if (b == 0.0L) {
        if (a == 0.0L)
            throw FloatError(FloatError::Kind::InvalidOperation);
        throw FloatError(FloatError::Kind::DivisionByZero);
    }
    const ext q = a / b;
    if (std::isnan(q))
        throw FloatError(FloatError::Kind::InvalidOperation);
    if (std::isinf(q))
        throw FloatError(FloatError::Kind::Overflow);
    return q;
}

ext ln(ext x)
{
    if (std::isnan(x) || x < 0.0L)
        throw FloatError(FloatError::Kind::InvalidOperation);
    if (x == 0.0L)
        throw FloatError(FloatError::Kind::DivisionByZero);
    return logl(x);
}

ext exp(ext x)
{
    if (std::isnan(x))
        throw FloatError(FloatError::Kind::InvalidOperation);
    const ext r = expl(x);
    if (std::isinf(r))
        throw FloatError(FloatError::Kind::Overflow);
    return r;
}

double truncTo(double value, int decimals)
{
    static constexpr ext kScale[] = {1.0L, 10.0L, 100.0L, 1000.0L, 10000.0L};
    if (decimals < 0 || decimals > 4)
        throw FloatError(FloatError::Kind::InvalidOperation);
    const ext scale = kScale[decimals];
    const ext scaled = static_cast<ext>(value) * scale;
    return store(truncl(scaled) / scale);
}

} // namespace kalvanta
