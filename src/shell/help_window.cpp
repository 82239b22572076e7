#include "help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "link_label.h"
#include "ui/handler_guard.h"
#include "window_helpers.h"

namespace kalvanta {

namespace {

QLabel* plainLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(interfaceFont(10));
    label->setTextFormat(Qt::PlainText);
    // The same margins as the links, so texts and links line up.
    label->setContentsMargins(2, 1, 2, 1);
    return label;
}

const FormulaTopic& topicOf(const QString& labelName)
{
    for (const FormulaTopic& topic : formulaTopics())
        if (topic.labelName == labelName)
            return topic;
    return formulaTopics().front();
}

// One line of the window: labels side by side, left aligned.
QHBoxLayout* row(std::initializer_list<QWidget*> widgets)
{
    auto* layout = new QHBoxLayout;
    layout->setSpacing(4);
    for (QWidget* w : widgets)
        layout->addWidget(w);
    layout->addStretch(1);
    return layout;
}

} // namespace

FormulaWindow::FormulaWindow(const FormulaTopic& topic, QWidget* owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("FormulaWindow"));
    setCaption(this, topic.caption);
    setFont(interfaceFont(8));
    resize(600, 200);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(topic.caption);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(interfaceFont(8));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
}

Thelp::Thelp(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Thelp"));
    setCaption(this, QStringLiteral("Справка"));
    setWhiteBackground(this);
    setFont(interfaceFont(8));
    setModal(false);

    Button1 = new QPushButton(QStringLiteral("Закрыть"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("О программе"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button3 = new QPushButton(QStringLiteral("Об авторe"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    for (QPushButton* b : {Button1, Button2, Button3}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(110);
    }
    connect(Button1, &QPushButton::clicked, this, guarded(this, [this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, guarded(this, [this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded(this, [this] { Button3Click(); }));

    auto* title = new QLabel(QStringLiteral("Справка по программе Kalvanta 4.5 "), this);
    title->setFont(interfaceFont(14));
    QPalette blue = title->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    title->setPalette(blue);
    title->setContentsMargins(2, 1, 2, 1);

    auto* fileLine = plainLabel(QStringLiteral("Файл помощи с основными расчетными формулами - help.rtf"), this);
    fileLine->setToolTip(QDir::toNativeSeparators(helpFilePath()));

    auto link = [this](const QString& labelName) {
        const FormulaTopic& topic = topicOf(labelName);
        auto* label = new LinkLabel(topic.linkText, this);
        label->setObjectName(labelName);
        label->setFont([] {
            QFont f = interfaceFont(10);
            f.setUnderline(true);
            return f;
        }());
        connect(label, &LinkLabel::activated, this,
                guarded(this, [this, labelName] { openFormulaWindow(topicOf(labelName)); }));
        return label;
    };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 10, 16, 14);
    layout->setSpacing(6);
    layout->addLayout(row({Button1, Button2, Button3}));
    layout->addSpacing(6);
    layout->addLayout(row({title}));
    layout->addLayout(row({fileLine}));
    layout->addSpacing(6);
    layout->addLayout(row({plainLabel(QStringLiteral("Для расчета основных показателей достаточно баланса и отчета "), this)}));
    layout->addLayout(row({plainLabel(QStringLiteral("о прибылях и убытках."), this)}));
    layout->addLayout(row({plainLabel(QStringLiteral("Для расчета"), this), link(QStringLiteral("Label5")),
                           plainLabel(QStringLiteral("и"), this), link(QStringLiteral("Label7")),
                           plainLabel(QStringLiteral("требуются  форма №4 \"Отчет о движении"), this)}));
    layout->addLayout(row({plainLabel(
        QStringLiteral("денежных средств\", деление издержек на постоянные и переменные."), this)}));
    layout->addSpacing(6);
    layout->addLayout(row({plainLabel(QStringLiteral("Расчет показателей для определения"), this),
                           link(QStringLiteral("Label11"))}));
    layout->addLayout(row({plainLabel(
        QStringLiteral("предприятия дает информацию о размере необходимых оборотных средств."), this)}));
    layout->addSpacing(6);
    layout->addLayout(row({plainLabel(QStringLiteral("Планирование:"), this)}));
    layout->addLayout(row({plainLabel(
        QStringLiteral("Производство - используются теже методы, что и для расчета операционного рычага"), this)}));
    layout->addLayout(row({link(QStringLiteral("Label15"))}));
    layout->addLayout(row({link(QStringLiteral("Label16"))}));
    layout->addStretch(1);

    resize(580, 373);
}

void Thelp::showEvent(QShowEvent* e)
{
    // Centred once its content has set its size; later the user's place stays.
    if (!placed_) {
        const QSize content = sizeHint();
        resize(qMax(580, content.width()), qMax(373, content.height()));
        centerOnScreen(this);
        placed_ = true;
    }
    QDialog::showEvent(e);
}

Thelp::~Thelp() = default;

void Thelp::setAboutWindows(QDialog* aboutProgram, QDialog* aboutAuthor)
{
    aboutProgram_ = aboutProgram;
    aboutAuthor_ = aboutAuthor;
}

FormulaWindow* Thelp::openFormulaWindow(const FormulaTopic& topic)
{
    auto* window = new FormulaWindow(topic, this);
    formulaWindows_.push_back(window);
    window->show();
    for (const QString& line : topic.lines)
        window->Memo1->appendPlainText(line);
    // The reader starts at the first formula.
    window->Memo1->moveCursor(QTextCursor::Start);
    return window;
}

QString Thelp::helpFilePath() { return helpFilePathFor(QCoreApplication::applicationDirPath()); }

QString Thelp::helpFilePathFor(const QString& programDir)
{
    const QDir dir(programDir);
    const QString beside = dir.filePath(QStringLiteral("help.rtf"));
    const QString installed =
        QDir::cleanPath(dir.filePath(QStringLiteral(KALVANTA_DATA_FROM_BINDIR "/help.rtf")));
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
        return installed;
    return beside;
}

void Thelp::Button1Click() { close(); }

void Thelp::Button2Click()
{
    if (aboutProgram_)
        aboutProgram_->exec();
    close();
}

void Thelp::Button3Click()
{
    if (aboutAuthor_)
        aboutAuthor_->exec();
    close();
}

} // namespace kalvanta
