#pragma once
// The about-program window `TForm9` and the about-author window `Tabout`.
#include <QDialog>

class QPushButton;
class QLabel;

namespace kalvanta {

// The author line of both windows: the project's name and the year.
inline const QString kAuthorLine = QStringLiteral("© Проект Kalvanta, 2026");

class TForm9 : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);
    QLabel* VersionLabel = nullptr;
    QPushButton* Button1 = nullptr;
};

class Tabout : public QDialog {
    Q_OBJECT
public:
    explicit Tabout(QWidget* parent = nullptr);
    QPushButton* Button1 = nullptr;
};

} // namespace kalvanta
