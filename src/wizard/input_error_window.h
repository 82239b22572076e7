#pragma once
// TForm14, "Сообщение об ошибке ввода данных": carries the balance error
// message in a window of its own. The wizard reports through the standard
// warning box instead, so nothing shows this window.
#include <QWidget>

#include "inputs/analysis_input.h"

class QLabel;
class QPushButton;

namespace kalvanta {

class TForm14 : public QWidget {
    Q_OBJECT
public:
    explicit TForm14(AnalysisInput& input, QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label1;
    QPushButton* Button1;

    void Button1Click();
};

} // namespace kalvanta
