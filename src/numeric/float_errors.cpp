#include "float_errors.h"

namespace kalvanta {

namespace {
const char* messageOf(FloatError::Kind kind)
{
    switch (kind) {
    case FloatError::Kind::DivisionByZero: return kDivisionByZeroMessage;
    case FloatError::Kind::InvalidOperation: return kInvalidOperationMessage;
    case FloatError::Kind::Overflow: return kOverflowMessage;
    }
    return kInvalidOperationMessage;
}
} // namespace

FloatError::FloatError(Kind kind) : std::runtime_error(messageOf(kind)), kind_(kind) {}

ConversionError::ConversionError(std::string_view fieldText)
    : std::runtime_error("'" + std::string(fieldText) + "' is not a valid floating point value"),
      text_(fieldText)
{
}

std::string withFullStop(std::string message)
{
    if (!message.empty() && message.back() != '.')
        message.push_back('.');
    return message;
}

} // namespace kalvanta
