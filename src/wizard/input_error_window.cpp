#include "input_error_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "wizard_window.h"

namespace kalvanta {

TForm14::TForm14(AnalysisInput& /*input*/, QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("TForm14"));
    setWindowTitle(QStringLiteral("Сообщение об ошибке ввода данных"));
    setAttribute(Qt::WA_QuitOnClose, false);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    Label1 = new QLabel(QStringLiteral("Ошибка! В баланс введены некорректные данные"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Button1 = makeButton(this, QStringLiteral("Button1"), QStringLiteral("OK"));

    auto* layout = new QVBoxLayout(this);
    auto* message = new QHBoxLayout;
    message->addWidget(Image1);
    message->addWidget(Label1);
    layout->addLayout(message);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &TForm14::Button1Click);
}

void TForm14::Button1Click() { close(); }

} // namespace kalvanta
