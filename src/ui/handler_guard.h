#pragma once
// Runs event handlers so that an error one raises ends it and is shown with
// the default error display where it arises. Qt's event delivery is built
// without exception support: an exception unwinding through it leaks what
// it holds, so none may leave a slot or an event handler.
// KalvantaApplication::notify stays the last resort.
#include <utility>

class QWidget;

namespace kalvanta {

// Shows the exception being handled (inside a catch block) with the
// default error display, over `window`.
void showCurrentError(QWidget* window);

// Runs `handler`; an error it raises goes to the error display.
template <class Handler>
void runHandler(QWidget* window, Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        showCurrentError(window);
    }
}

// `handler` as a slot that runs it so, for connect().
template <class Handler>
auto guarded(QWidget* window, Handler handler)
{
    return [window, handler = std::move(handler)]() mutable { runHandler(window, handler); };
}

} // namespace kalvanta
