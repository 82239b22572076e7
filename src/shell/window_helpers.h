#pragma once
// Small helpers every window of the shell uses.
#include <QFont>
#include <QString>

class QWidget;

namespace kalvanta {

// The program's user-interface font in place of "MS Sans Serif".
inline const QString kInterfaceFontFamily = QStringLiteral("DejaVu Sans");
QFont interfaceFont(int pointSize = 8);

// Sets a window's caption and its accessible name to the same text. A
// literal "[*]" (which Qt would treat as a placeholder) is kept as typed.
void setCaption(QWidget* window, const QString& caption);

// Moves a window so that its frame is centred on its screen.
void centerOnScreen(QWidget* window);

// Gives a window a white background.
void setWhiteBackground(QWidget* window);

} // namespace kalvanta
