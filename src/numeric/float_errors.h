#pragma once
// The arithmetic and conversion errors the program reports to the user.
// Their messages are what the user sees, so they are fixed texts.
#include <stdexcept>
#include <string>
#include <string_view>

namespace kalvanta {

class FloatError : public std::runtime_error {
public:
    enum class Kind { DivisionByZero, InvalidOperation, Overflow };
    explicit FloatError(Kind kind);
    Kind kind() const noexcept { return kind_; }

private:
    Kind kind_;
};

inline constexpr const char* kDivisionByZeroMessage = "Floating point division by zero";
inline constexpr const char* kInvalidOperationMessage = "Invalid floating point operation";
inline constexpr const char* kOverflowMessage = "Floating point overflow";

// Raised when typed text is not a number: "'%s' is not a valid floating point value".
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(std::string_view fieldText);
    const std::string& fieldText() const noexcept { return text_; }

private:
    std::string text_;
};

// The error display shows a message with a full stop at its end.
std::string withFullStop(std::string message);

} // namespace kalvanta
