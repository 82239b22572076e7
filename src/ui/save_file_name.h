#pragma once
// Asking for the name of a file to save, the one way every window does it.
#include <QString>

#include <functional>

class QWidget;

namespace kalvanta {

struct SaveChoice {
    QString path;   // empty when cancelled
    QString filter; // the file type chosen in the dialog
};

// Turns the typed name and the chosen filter into the name to be written.
using SaveNameCompletion = std::function<QString(const QString& typed, const QString& filter)>;

// The name as typed when it ends in ".<suffix>" (any case), else with it.
QString withSuffix(const QString& typed, const QString& suffix);

// The save dialog (through UiServices) with `filters`; when the file to be
// written exists, a question titled `title` (No by default: replacing would
// lose what it holds), and after No the dialog again.
SaveChoice askSaveFile(QWidget* parent, const QString& title, const QString& filters,
                       const SaveNameCompletion& complete = {});

} // namespace kalvanta
