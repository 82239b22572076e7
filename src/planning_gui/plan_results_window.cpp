#include "plan_results_window.h"

#include <QEvent>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QStyle>

#include "plan_dialog.h"
#include "report_formats/report_formats.h"
#include "report_formats/text_document.h"
#include "ui/handler_guard.h"
#include "ui/save_file_name.h"
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

    BitBtn4 = pictureButton(this, QStringLiteral("BitBtn4"), QStringLiteral("В PDF..."),
                            themeIcon("document-save-as", QStyle::SP_DialogSaveButton, this), QRect(334, 8, 93, 25));
    BitBtn4->setToolTip(QStringLiteral("Сохранить плановые показатели в файл PDF"));

    RichEdit1 = new plan_ui::LinesView(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setAccessibleName(QStringLiteral("Плановые показатели"));
    RichEdit1->setGeometry(10, 38, 417, 241);
    RichEdit1->document()->setDefaultFont(plan_ui::reportFont());
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    connect(BitBtn1, &QPushButton::clicked, this, &Trez::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &Trez::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &Trez::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, guarded(this, [this] { BitBtn4Click(); }));
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

void Trez::BitBtn4Click()
{
    const QString path = askSaveFile(this, QStringLiteral("Сохранить как"), QStringLiteral("Документ PDF (*.pdf)"),
                                     [](const QString& typed, const QString&) {
                                         return withSuffix(typed, QStringLiteral("pdf"));
                                     })
                             .path;
    if (path.isEmpty())
        return;
    const QByteArray name = QFile::encodeName(path);
    try {
        formats::saveReport(std::string(name.constData(), static_cast<std::size_t>(name.size())),
                            documentFromRichText(*RichEdit1->document(), RichEdit1->document()->defaultFont()),
                            formats::ReportFormat::Pdf);
    } catch (const std::exception& e) {
        showError(e, this);
    }
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
