#include "about_windows.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "drawn_pictures.h"
#include "window_helpers.h"

namespace kalvanta {

namespace {

QLabel* line(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(interfaceFont(10));
    return label;
}

QPushButton* okButton(QDialog* dialog)
{
    auto* button = new QPushButton(QStringLiteral("OK"), dialog);
    button->setObjectName(QStringLiteral("Button1"));
    button->setDefault(true);
    button->setMinimumWidth(90);
    QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
    return button;
}

void prepareDialog(QDialog* dialog, const QString& name, const QString& caption, QSize client)
{
    dialog->setObjectName(name);
    setCaption(dialog, caption);
    setWhiteBackground(dialog);
    dialog->setFont(interfaceFont(8));
    dialog->setModal(true);
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    dialog->setFixedSize(client);
}

// The window keeps its size unless a line of its text would be cut: with a
// font wider than the one it was drawn for, it grows to show every line whole.
void fitToText(QDialog* dialog)
{
    dialog->setFixedSize(dialog->size().expandedTo(dialog->minimumSizeHint()));
}

} // namespace

TForm9::TForm9(QWidget* parent) : QDialog(parent)
{
    prepareDialog(this, QStringLiteral("TForm9"), QStringLiteral("О программе"), QSize(627, 371));

    VersionLabel = line(QStringLiteral("Kalvanta  версия 4.5 .3. от 12.06.2006"), this);
    VersionLabel->setToolTip(QStringLiteral("Лучшая прграмма на свете"));
    QFont versionFont = VersionLabel->font();
    versionFont.setBold(true);
    VersionLabel->setFont(versionFont);

    auto* text = new QVBoxLayout;
    text->setSpacing(3);
    text->addWidget(VersionLabel);
    text->addSpacing(10);
    text->addWidget(line(QStringLiteral("Данная версия предназначена для  анализа и планирования финансово-"), this));
    text->addWidget(line(QStringLiteral("хозяйственной деятельности предприятий."), this));
    text->addSpacing(10);
    text->addWidget(line(QStringLiteral("В программе использованы  следующие методы:"), this));
    for (const char* method : {"- показатели ликвидности и платежеспособности",
                               "- показатели финансовой устойчивости",
                               "- показатели прибыльности и эффективности управления",
                               "- влияние финансового рычага на результаты деятельности",
                               "- влияние операционного рычага  на результаты деятельности",
                               "- расчет финансово-эксплуатационных потребностей предприятия",
                               "- анализ эффективности инвестиционных проектов."})
        text->addWidget(line(QString::fromUtf8(method), this));
    text->addStretch(1);
    text->addWidget(line(kAuthorLine, this));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setFixedSize(161, 185);
    picture->setPixmap(QPixmap::fromImage(pictures::aboutPicture()));
    picture->setScaledContents(true);
    picture->setAccessibleName(QStringLiteral("Kalvanta"));

    auto* top = new QHBoxLayout;
    top->addLayout(text, 1);
    top->addWidget(picture, 0, Qt::AlignTop | Qt::AlignRight);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Button1 = okButton(this);
    buttons->addWidget(Button1);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 16, 14);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    fitToText(this);
    centerOnScreen(this);
}

Tabout::Tabout(QWidget* parent) : QDialog(parent)
{
    prepareDialog(this, QStringLiteral("Tabout"), QStringLiteral("Об авторe"), QSize(559, 294));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 14);
    layout->setSpacing(8);
    layout->addWidget(line(QStringLiteral("Данная программа является обновлением дипломного проекта."), this));
    layout->addSpacing(8);
    layout->addWidget(line(QStringLiteral("Техническая поддержка: проект Kalvanta"), this));
    layout->addWidget(line(QStringLiteral("E-mail: kalvanta@example.org"), this));
    layout->addSpacing(8);
    layout->addWidget(line(QStringLiteral("Автор заранее признателен за любые замечания и предложения:"), this));
    layout->addWidget(line(kAuthorLine, this));
    layout->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Button1 = okButton(this);
    buttons->addWidget(Button1);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    fitToText(this);
    centerOnScreen(this);
}

} // namespace kalvanta
