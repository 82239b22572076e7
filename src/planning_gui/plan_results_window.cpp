#include "plan_results_window.h"

#include <QEvent>
#include <QPrinter>
#include <QPushButton>
#include <QStyle>

#include "plan_dialog.h"
#include "ui/regional_qt.h"
#include "ui/ui_services.h"

namespace kalvanta {

namespace {

QPushButton* pictureButton(QWidget* parent, const QString& name, const QString& text, const QIcon& icon,
                           const QRect& geometry)
{
    auto* b = new QPushButton(icon, text, parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    return b;
}

QIcon themeIcon(const char* name, QStyle::StandardPixmap fallback, const QWidget* w)
{
    return QIcon::fromTheme(QString::fromLatin1(name), w->style()->standardIcon(fallback));
}

} // namespace

Trez::Trez(QWidget* parent) : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint), activation_(this)
{
    setObjectName(QStringLiteral("Trez"));
    setWindowTitle(kPlanResultsCaption);
    setAccessibleName(kPlanResultsCaption);
    setFixedSize(437, 283);
    regional_ = systemRegionalSettings();

    BitBtn1 = pictureButton(this, QStringLiteral("BitBtn1"), QStringLiteral("Печать"),
                            themeIcon("document-print", QStyle::SP_FileIcon, this), QRect(10, 8, 100, 25));
    BitBtn2 = pictureButton(this, QStringLiteral("BitBtn2"), QStringLiteral("Закрыть"),
                            themeIcon("window-close", QStyle::SP_DialogCloseButton, this), QRect(118, 8, 100, 25));
    BitBtn3 = pictureButton(this, QStringLiteral("BitBtn3"), QStringLiteral("Справка"),
                            themeIcon("help-contents", QStyle::SP_MessageBoxQuestion, this), QRect(226, 8, 100, 25));

    RichEdit1 = new plan_ui::LinesView(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setAccessibleName(QStringLiteral("Плановые показатели"));
    RichEdit1->setGeometry(10, 38, 417, 241);
    RichEdit1->document()->setDefaultFont(plan_ui::reportFont());
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    connect(BitBtn1, &QPushButton::clicked, this, &Trez::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &Trez::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &Trez::BitBtn3Click);
}

void Trez::showRequested()
{
    show();
    raise();
    activateWindow();
    // The request is cleared before it is written, so whichever comes
    // first, this call or the activation, writes it and the other finds
    // nothing pending.
    FormActivate();
}

void Trez::FormActivate()
{
    if (!plan_ || !takePendingPlan(plan_->request()))
        return;
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    const plan_ui::EditBlock oneEdit(RichEdit1);
    writePlan(plan_->request(), results_, regional_,
              [this](const std::string& line) { RichEdit1->appendLine(QString::fromStdString(line)); });
}

void Trez::BitBtn1Click()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(kPlanResultsCaption);
    if (!UiServices::instance().printDialog(this, printer))
        return;
    RichEdit1->document()->print(&printer);
}

void Trez::BitBtn2Click()
{
    RichEdit1->clearLines();
    close();
}

void Trez::BitBtn3Click()
{
    if (showHelp_)
        showHelp_();
}

void Trez::showEvent(QShowEvent* event)
{
    activation_.shown();
    QWidget::showEvent(event);
    plan_ui::centerOnFirstShow(this, centred_);
}

void Trez::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && activation_.activated())
        runHandler(this, [this] { FormActivate(); });
}

} // namespace kalvanta
