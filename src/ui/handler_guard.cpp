#include "handler_guard.h"

#include <exception>

#include "ui_services.h"

namespace kalvanta {

void showCurrentError(QWidget* window)
{
    try {
        throw;
    } catch (const std::exception& error) {
        showError(error, window);
    } catch (...) {
        showError(QStringLiteral("Unknown error"), window);
    }
}

} // namespace kalvanta
