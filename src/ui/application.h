#pragma once
// The application object: one place that catches every exception leaving
// an event handler and shows it with the default error display, so the
// program goes on and exceptions never cross the event loop.
#include <QApplication>

namespace kalvanta {

class KalvantaApplication : public QApplication {
public:
    KalvantaApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace kalvanta
