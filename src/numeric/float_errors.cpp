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

// Built by appending: prepending to a temporary ("'" + std::string(...))
// makes g++ 12 at -O3 report a false overlapping memcpy.
std::string conversionMessage(std::string_view fieldText)
{
    static constexpr std::string_view tail = "' is not a valid floating point value";
    std::string message;
    message.reserve(fieldText.size() + tail.size() + 1);
    message += '\'';
    message += fieldText;
    message += tail;
    return message;
}
} // namespace

FloatError::FloatError(Kind kind) : std::runtime_error(messageOf(kind)), kind_(kind) {}

ConversionError::ConversionError(std::string_view fieldText)
    : std::runtime_error(conversionMessage(fieldText)),
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
