#include "main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <tuple>

#include "analysis/report_builder.h"
#include "batch_window.h"
#include "charts/charts_window.h"
#include "document_files.h"
#include "drawn_pictures.h"
#include "history/history_workbook.h"
#include "history_window.h"
#include "progress_window.h"
#include "report_printing.h"
#include "report_view.h"
#include "rich_text_bridge.h"
#include "ui/handler_guard.h"
#include "ui/regional_qt.h"
#include "ui/save_file_name.h"
#include "ui/ui_services.h"
#include "window_helpers.h"

namespace kalvanta {

namespace {

const QString kStatusBarHint = QStringLiteral("Строка подсказок");
const QString kNewItemHint = QStringLiteral("Новый анализ баланса");
const QString kReplaceTitle = QStringLiteral("Сохранить как");
const QString kOpenQuestion = QStringLiteral("Результаты расчета не сохранены. Открыть другой файл ?");

// The save dialog's file types; the first, RTF, is the program's own.
const QString kRtfFilter = QStringLiteral("Документ RTF (*.rtf)");
const QString kPdfFilter = QStringLiteral("Документ PDF (*.pdf)");
const QString kOdtFilter = QStringLiteral("Документ OpenDocument (*.odt)");
const QString kHtmlFilter = QStringLiteral("Страница HTML (*.html *.htm)");
const QString kAllFilesFilter = QStringLiteral("Все файлы (*)");
const QString kWorkbookFilter = QStringLiteral("Книга Excel (*.xlsx)");

// A name with a report suffix is saved in that format; any other name as
// RTF, exactly as typed, unless another file type was chosen, whose suffix
// it then gets.
QString completeSaveName(const QString& typed, const QString& filter)
{
    if (formats::formatOfSuffix(typed))
        return typed;
    for (const auto& [type, suffix] : {std::pair{&kPdfFilter, "pdf"}, std::pair{&kOdtFilter, "odt"},
                                       std::pair{&kHtmlFilter, "html"}})
        if (filter == *type)
            return withSuffix(typed, QString::fromLatin1(suffix));
    return typed;
}

QString completePdfName(const QString& typed, const QString&) { return withSuffix(typed, QStringLiteral("pdf")); }
QString completeWorkbookName(const QString& typed, const QString&) { return withSuffix(typed, QStringLiteral("xlsx")); }

QString fullPath(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent), input_(startupInput()), regional_(systemRegionalSettings()),
      clock_(ClockSource::system()), printer_(QPrinter::HighResolution)
{
    setObjectName(QStringLiteral("TForm1"));
    setDocumentCaption(kProgramCaption);
    setFont(interfaceFont(8));
    setWindowIcon(pictures::programIcon());

    RichEdit1 = new ReportView(this);
    setCentralWidget(RichEdit1);
    RichEdit1->viewport()->installEventFilter(this);
    // "Удалить все", a new document: the histories' reports are gone from the view.
    connect(RichEdit1, &QTextEdit::textChanged, this, [this] {
        if (historyReports_ && RichEdit1->document()->isEmpty())
            dropHistoryReports();
    });

    buildMenu();
    buildToolBar();
    buildStatusBar();
    buildPopupMenu();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, guarded(this, [this] { Timer1Timer(); }));
    Timer1->start();
    Timer1Timer();

    resize(734, 518);
    centerOnScreen(this);
}

TForm1::~TForm1() = default;

QAction* TForm1::addItem(QMenu* menu, const QString& name, const QString& text, void (TForm1::*handler)(),
                         const QKeySequence& shortcut)
{
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    if (handler)
        connect(action, &QAction::triggered, this, guarded(this, [this, handler] { (this->*handler)(); }));
    menu->addAction(action);
    return action;
}

void TForm1::buildMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(QStringLiteral("&Файл"));
    addItem(file, QStringLiteral("N2"), QStringLiteral("&Новый..."), &TForm1::N2Click, Qt::Key_F2)
        ->setIcon(pictures::newIcon());
    addItem(file, QStringLiteral("N3"), QStringLiteral("&Открыть..."), &TForm1::N3Click, Qt::Key_F3)
        ->setIcon(pictures::openIcon());
    // Input files: statements and input sets into the wizard, the last record out.
    for (const auto& [name, text, keys] : {std::tuple{"N51", "&Импорт отчетности...", "Ctrl+I"},
                                           std::tuple{"N52", "Открыть исходные &данные...", "Ctrl+Shift+O"},
                                           std::tuple{"N53", "&Сохранить исходные данные...", "Ctrl+Shift+S"}})
        addItem(file, QString::fromUtf8(name), QString::fromUtf8(text), nullptr, QKeySequence(QString::fromUtf8(keys)))
            ->setEnabled(false);
    file->addAction(QStringLiteral("Анализ &группы файлов..."), this, guarded(this, [this] { openBatchAnalysis(this); }))
        ->setObjectName(QStringLiteral("NBatch"));
    file->addAction(QStringLiteral("Анализ за несколько &лет..."), QKeySequence(QStringLiteral("Ctrl+Shift+H")), this,
                    guarded(this, [this] { openHistoryAnalysis(this); }))
        ->setObjectName(QStringLiteral("NHistory"));
    QAction* workbook =
        addItem(file, QStringLiteral("NHistoryXlsx"), QStringLiteral("Сохранить в &Excel..."), &TForm1::saveHistoryWorkbook);
    workbook->setEnabled(false);
    file->addSeparator();
    addItem(file, QStringLiteral("N5"), QStringLiteral("Со&хранить как..."), &TForm1::N5Click)
        ->setIcon(pictures::saveAsIcon());
    addItem(file, QStringLiteral("N54"), QStringLiteral("&Экспорт в PDF..."), &TForm1::N54Click, Qt::CTRL | Qt::Key_E);
    addItem(file, QStringLiteral("N6"), QStringLiteral("&Печать..."), &TForm1::N6Click, Qt::Key_F12)
        ->setIcon(pictures::printIcon());
    addItem(file, QStringLiteral("N7"), QStringLiteral("Нас&тройка печати..."), &TForm1::N7Click, Qt::Key_F8)
        ->setIcon(pictures::printerSetupIcon());
    file->addSeparator();
    addItem(file, QStringLiteral("N16"), QStringLiteral("&Выход"), &TForm1::N16Click);
    // The "New" item is drawn as the menu opens, and its hint shows then.
    connect(file, &QMenu::aboutToShow, this, [this] { showHint(kNewItemHint); });

    QMenu* edit = bar->addMenu(QStringLiteral("Прав&ка"));
    addItem(edit, QStringLiteral("N10"), QStringLiteral("Выре&зать"), &TForm1::N10Click, Qt::CTRL | Qt::Key_X);
    addItem(edit, QStringLiteral("N11"), QStringLiteral("К&опировать"), &TForm1::N11Click, Qt::CTRL | Qt::Key_C);
    addItem(edit, QStringLiteral("N17"), QStringLiteral("Вс&тавить"), &TForm1::N17Click, Qt::CTRL | Qt::Key_V);
    addItem(edit, QStringLiteral("N18"), QStringLiteral("В&ыделить все"), &TForm1::N18Click);
    addItem(edit, QStringLiteral("N29"), QStringLiteral("Удалить все"), &TForm1::N29Click);

    QMenu* view = bar->addMenu(QStringLiteral("Ви&д"));
    QAction* clock = addItem(view, QStringLiteral("N24"), QStringLiteral("В&ремя"), &TForm1::N24Click);
    clock->setCheckable(true);
    clock->setChecked(true);
    QAction* status = addItem(view, QStringLiteral("C1"), QStringLiteral("Cтр&ока подсказок"), &TForm1::C1Click);
    status->setCheckable(true);
    status->setChecked(true);
    view->addSeparator();
    addItem(view, QStringLiteral("N31"), QStringLiteral("Формат шрифта"), &TForm1::N31Click);
    addItem(view, QStringLiteral("N36"), kChartsCaption, &TForm1::N36Click, Qt::Key_F9)->setIcon(chartsIcon());

    QMenu* planning = bar->addMenu(QStringLiteral("П&ланирование"));
    for (const auto& [name, text] : {std::pair{"N22", "Производство"}, std::pair{"N32", "Кредиты и займы"},
                                     std::pair{"N33", "Инвестиции"}}) {
        auto* action = new QAction(QString::fromUtf8(text), this);
        action->setObjectName(QString::fromUtf8(name));
        action->setEnabled(false);
        planning->addAction(action);
    }

    QMenu* help = bar->addMenu(QStringLiteral("&Помощь"));
    addItem(help, QStringLiteral("N19"), QStringLiteral("Справка"), &TForm1::N19Click)->setIcon(pictures::helpIcon());
    QMenu* about = help->addMenu(QStringLiteral("О програ&мме..."));
    about->menuAction()->setObjectName(QStringLiteral("N13"));
    addItem(about, QStringLiteral("N34"), QStringLiteral("О программе"), &TForm1::N34Click);
    addItem(about, QStringLiteral("N35"), QStringLiteral("Об авторe"), &TForm1::N35Click);

    // Until the windows exist, their commands are shown but disabled.
    for (const char* name : {"N2", "N19", "N34", "N35"})
        menuItem(QString::fromUtf8(name))->setEnabled(false);
}

QToolButton* TForm1::addSpeedButton(int number, const QString& hint, const QString& status, const QIcon& icon,
                                    QAction* command)
{
    auto* button = new QToolButton(ToolBar1);
    button->setObjectName(QStringLiteral("SpeedButton%1").arg(number));
    button->setAutoRaise(true);
    button->setFixedSize(23, 23);
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setFocusPolicy(Qt::NoFocus);
    if (!status.isEmpty())
        button->setProperty("statusHint", status);
    button->installEventFilter(this);
    if (command) {
        connect(button, &QToolButton::clicked, command, &QAction::trigger);
        button->setEnabled(command->isEnabled());
        connect(command, &QAction::enabledChanged, button, &QWidget::setEnabled);
    }
    ToolBar1->addWidget(button);
    return button;
}

void TForm1::buildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setAccessibleName(QStringLiteral("Панель инструментов"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setFixedHeight(33);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    addSpeedButton(1, QStringLiteral("Новый расчет"), QStringLiteral("Новый анализ баланса"), pictures::newIcon(),
                   menuItem(QStringLiteral("N2")));
    addSpeedButton(2, QStringLiteral("Открыть"), QStringLiteral("Открыть отчет или файл помощи"),
                   pictures::openIcon(), menuItem(QStringLiteral("N3")));
    addSpeedButton(3, QStringLiteral("Сохранить как..."), QStringLiteral("Сохранить текущий отчет"),
                   pictures::saveAsIcon(), menuItem(QStringLiteral("N5")));
    addSpeedButton(4, QStringLiteral("Печать"), QStringLiteral("Печать отчета на принтере"), pictures::printIcon(),
                   menuItem(QStringLiteral("N6")));
    addSpeedButton(5, QStringLiteral("Настройка печати"), QStringLiteral("Настройка печати"),
                   pictures::printerSetupIcon(), menuItem(QStringLiteral("N7")));
    ToolBar1->addSeparator();
    addSpeedButton(9, QStringLiteral("Вырезать в буфер"), QStringLiteral("Вырезать в буфер"), pictures::cutIcon(),
                   menuItem(QStringLiteral("N10")));
    addSpeedButton(6, QStringLiteral("Копировать в буфер"), QStringLiteral("Копировать в буфер"),
                   pictures::copyIcon(), menuItem(QStringLiteral("N11")));
    addSpeedButton(7, QStringLiteral("Вставить из буфера"), QStringLiteral("Вставить из буфера"),
                   pictures::pasteIcon(), menuItem(QStringLiteral("N17")));
    addSpeedButton(8, QStringLiteral("Справка"), QStringLiteral("Справка о программе"), pictures::helpIcon(),
                   menuItem(QStringLiteral("N19")));
    QToolButton* edit = addSpeedButton(11, QStringLiteral("Редактирование отчета"), QString(),
                                       pictures::editIcon(), nullptr);
    connect(edit, &QToolButton::clicked, this, guarded(this, [this] { SpeedButton11Click(); }));
    ToolBar1->addSeparator();
    addSpeedButton(12, kChartsCaption, QStringLiteral("Диаграммы показателей последнего анализа"), chartsIcon(),
                   menuItem(QStringLiteral("N36")));

    Label2 = new QLabel(ToolBar1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(interfaceFont(10));
    Label2->setMinimumWidth(220);
    ToolBar1->addWidget(Label2)->setObjectName(QStringLiteral("Label2Action"));
}

void TForm1::buildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setAccessibleName(kStatusBarHint);
    StatusBar1->setFixedHeight(19);
    StatusBar1->setMouseTracking(true);
    StatusBar1->installEventFilter(this);
    setStatusBar(StatusBar1);
}

void TForm1::buildPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    addItem(PopupMenu1, QStringLiteral("scop"), QStringLiteral("Копировать"), &TForm1::N11Click);
    addItem(PopupMenu1, QStringLiteral("N26"), QStringLiteral("Вырезать"), &TForm1::N10Click);
    addItem(PopupMenu1, QStringLiteral("N25"), QStringLiteral("Вставить"), &TForm1::N17Click);
    addItem(PopupMenu1, QStringLiteral("N27"), QStringLiteral("Выделить все"), &TForm1::N18Click);
    addItem(PopupMenu1, QStringLiteral("N28"), QStringLiteral("Очистить"), &TForm1::N29Click);
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RichEdit1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(RichEdit1->viewport()->mapToGlobal(pos)); });
}

QAction* TForm1::menuItem(const QString& name) const { return findChild<QAction*>(name); }

QToolButton* TForm1::speedButton(int number) const
{
    return findChild<QToolButton*>(QStringLiteral("SpeedButton%1").arg(number));
}

void TForm1::setClock(ClockSource clock)
{
    clock_ = std::move(clock);
    Timer1Timer();
}

void TForm1::setDocumentCaption(const QString& caption)
{
    caption_ = caption;
    setCaption(this, caption);
}

QString TForm1::statusText() const { return StatusBar1->currentMessage(); }

void TForm1::showHint(const QString& text) { StatusBar1->showMessage(text); }

void TForm1::setProgressWindow(Tprogr* progress)
{
    progress_ = progress;
    if (!progress_)
        return;
    progress_->setMarkUnsaved([this] { markUnsaved(); });
    progress_->setHandOver([this] { takeOverFromProgress(); });
}

void TForm1::setHelpWindow(QWidget* help)
{
    help_ = help;
    menuItem(QStringLiteral("N19"))->setEnabled(help_ != nullptr);
}

void TForm1::setAboutWindows(QDialog* aboutProgram, QDialog* aboutAuthor)
{
    aboutProgram_ = aboutProgram;
    aboutAuthor_ = aboutAuthor;
    menuItem(QStringLiteral("N34"))->setEnabled(aboutProgram_ != nullptr);
    menuItem(QStringLiteral("N35"))->setEnabled(aboutAuthor_ != nullptr);
}

void TForm1::setNewCalculation(std::function<void()> command)
{
    newCalculation_ = std::move(command);
    menuItem(QStringLiteral("N2"))->setEnabled(static_cast<bool>(newCalculation_));
}

void TForm1::setPlanningCommands(std::function<void()> production, std::function<void()> credits,
                                 std::function<void()> investments)
{
    production_ = std::move(production);
    credits_ = std::move(credits);
    investments_ = std::move(investments);
    const std::pair<const char*, std::function<void()>*> items[] = {
        {"N22", &production_}, {"N32", &credits_}, {"N33", &investments_}};
    for (const auto& [name, command] : items) {
        QAction* action = menuItem(QString::fromUtf8(name));
        action->disconnect(this);
        action->setEnabled(static_cast<bool>(*command));
        // An init-capture: clang 14 cannot capture a structured binding itself.
        connect(action, &QAction::triggered, this, guarded(this, [command = command] {
                    if (*command)
                        (*command)();
                }));
    }
}

void TForm1::setInputFileCommands(std::function<void()> importStatements, std::function<void()> openInputs,
                                  std::function<void()> saveInputs)
{
    for (auto [name, command] : {std::pair{"N51", std::move(importStatements)}, std::pair{"N52", std::move(openInputs)},
                                 std::pair{"N53", std::move(saveInputs)}}) {
        QAction* action = menuItem(QString::fromUtf8(name));
        action->disconnect(this);
        action->setEnabled(static_cast<bool>(command));
        if (command)
            connect(action, &QAction::triggered, this, guarded(this, [command = command] { command(); }));
    }
}

void TForm1::takeOverFromProgress()
{
    // Window managers differ in what they activate after a window hides; the
    // explicit activation and the queued call make the hand-over certain,
    // and the pending flag makes a second activation write nothing.
    raise();
    activateWindow();
    QTimer::singleShot(0, this, guarded(this, [this] { FormActivate(); }));
}

void TForm1::FormActivate()
{
    if (progress_)
        progress_->close();
    if (input_.AnalysisParameters.AnalysisPending == 1.0)
        lastAnalysis_ = input_; // what "Сохранить исходные данные..." keeps
    ReportViewSink sink(*RichEdit1);
    ReportCoverage run;
    try {
        if (!writePendingReport(input_, results_, sink, regional_, clock_.today(), &run))
            return;
    } catch (...) {
        analysisWritten(run); // the charts show what the report got to
        throw;
    }
    analysisWritten(run);
}

void TForm1::analysisWritten(const ReportCoverage& run)
{
    lastCoverage_ = run;
    analysed_ = true;
    if (charts_)
        charts_->setAnalysis(results_, lastCoverage_);
}

void TForm1::setLatestHistory(std::shared_ptr<const history::CompanyHistory> history)
{
    latestHistory_ = std::move(history);
    if (charts_)
        charts_->setHistory(latestHistory_);
}

void TForm1::setHistoryReports(std::vector<history::CompanyHistory> histories)
{
    historyReports_ = std::make_shared<const std::vector<history::CompanyHistory>>(std::move(histories));
    menuItem(QStringLiteral("NHistoryXlsx"))->setEnabled(true);
}

void TForm1::dropHistoryReports()
{
    historyReports_.reset();
    menuItem(QStringLiteral("NHistoryXlsx"))->setEnabled(false);
}

void TForm1::saveHistoryWorkbook()
{
    if (!historyReports_)
        return;
    const QString path = askSaveFile(this, kReplaceTitle, kWorkbookFilter, completeWorkbookName).path;
    if (path.isEmpty())
        return;
    try {
        // About a second for a thousand companies: a wait cursor, not a worker.
        struct WaitCursor {
            WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
            ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
        } wait;
        const QByteArray local = QFile::encodeName(path);
        history::writeHistoryWorkbook(std::string(local.constData(), static_cast<std::size_t>(local.size())),
                                      *historyReports_);
    } catch (const std::exception& e) {
        UiServices::instance().message(this, UiServices::Icon::Stop, kReplaceTitle,
                                       QStringLiteral("Книга Excel не сохранена: %1\n%2")
                                           .arg(fullPath(path), QString::fromUtf8(e.what())));
    }
}

void TForm1::N36Click()
{
    if (!analysed_ && !latestHistory_) {
        UiServices::instance().message(this, UiServices::Icon::Information, kChartsCaption,
                                       QStringLiteral("Диаграммы строятся по результатам анализа, а анализа еще не "
                                                      "было. Начните новый расчет (Файл - Новый...)."));
        return;
    }
    if (!charts_) {
        charts_ = new Tcharts(this);
        charts_->setRegionalSettings(regional_);
        if (analysed_)
            charts_->setAnalysis(results_, lastCoverage_);
        charts_->setHistory(latestHistory_);
        charts_->setPrintCommand([this](const QTextDocument& document) { printDocument(document); });
    }
    charts_->show();
    charts_->raise();
    charts_->activateWindow();
}

void TForm1::Timer1Timer()
{
    Label2->setText(kClockPrefix + QString::fromStdString(formatTime(clock_.now(), regional_.longTimeFormat)));
}

void TForm1::N2Click()
{
    if (newCalculation_)
        newCalculation_();
}

void TForm1::N3Click()
{
    // The view is replaced by the file: an unsaved report is not lost unasked.
    if (hasUnsavedReport() && !UiServices::instance().askYesNo(this, kCloseQuestionTitle, kOpenQuestion))
        return;
    const QString path = UiServices::instance().openFileName(this, QString(), QString());
    if (path.isEmpty())
        return;
    openFile(path);
}

void TForm1::openFile(const QString& path)
{
    try {
        const doc::Document loaded = readReportFile(path);
        showDocument(*RichEdit1, loaded);
        dropHistoryReports(); // the view holds what the file holds now
    } catch (const std::exception& e) {
        showError(e, this);
        return;
    }
    setDocumentCaption(kProgramCaption + fullPath(path));
    RichEdit1->setVerticalScrollBars();
}

void TForm1::N5Click()
{
    const QString filters = QStringList{kRtfFilter, kPdfFilter, kOdtFilter, kHtmlFilter, kAllFilesFilter}.join(
        QStringLiteral(";;"));
    const QString path = askSaveFile(this, kReplaceTitle, filters, completeSaveName).path;
    if (path.isEmpty())
        return;
    const formats::ReportFormat format = formats::formatOfSuffix(path).value_or(formats::ReportFormat::Rtf);
    if (format == formats::ReportFormat::Rtf)
        saveFile(path);
    else
        exportFile(path, format);
}

void TForm1::N54Click()
{
    const QString path = askSaveFile(this, kReplaceTitle, kPdfFilter, completePdfName).path;
    if (!path.isEmpty())
        exportFile(path, formats::ReportFormat::Pdf);
}

bool TForm1::saveFile(const QString& path)
{
    try {
        writeReportFile(path, documentOf(*RichEdit1));
    } catch (const std::exception& e) {
        showError(e, this);
        return false;
    }
    setDocumentCaption(kProgramCaption + fullPath(path));
    return true;
}

// A PDF, OpenDocument or HTML file is a copy to pass on, which the program
// does not open again: the report keeps its name and its unsaved state.
void TForm1::exportFile(const QString& path, formats::ReportFormat format)
{
    try {
        exportReportFile(path, documentOf(*RichEdit1), format);
    } catch (const std::exception& e) {
        showError(e, this);
    }
}

void TForm1::N6Click() { printDocument(*RichEdit1->document()); }

void TForm1::printDocument(const QTextDocument& document)
{
    if (!UiServices::instance().printDialog(this, printer_))
        return;
    try {
        printReport(document, printer_);
    } catch (const std::exception& e) {
        showError(e, this);
    }
}

void TForm1::N7Click() { UiServices::instance().printerSetupDialog(this, printer_); }

void TForm1::N16Click() { close(); }

void TForm1::N10Click() { RichEdit1->cut(); }

void TForm1::N11Click() { RichEdit1->copy(); }

void TForm1::N17Click() { RichEdit1->paste(); }

void TForm1::N18Click() { RichEdit1->selectAll(); }

void TForm1::N29Click() { RichEdit1->clearAll(); }

void TForm1::N24Click()
{
    const bool shown = menuItem(QStringLiteral("N24"))->isChecked();
    if (QAction* labelAction = ToolBar1->findChild<QAction*>(QStringLiteral("Label2Action")))
        labelAction->setVisible(shown);
}

void TForm1::C1Click() { StatusBar1->setVisible(menuItem(QStringLiteral("C1"))->isChecked()); }

void TForm1::N31Click()
{
    // The dialog starts from the view's base font, not from the selection.
    QFont font = RichEdit1->font();
    if (!UiServices::instance().fontDialog(this, font))
        return;
    QTextCharFormat format;
    format.setFont(font, QTextCharFormat::FontPropertiesAll);
    RichEdit1->mergeCurrentCharFormat(format);
}

void TForm1::N19Click()
{
    if (!help_)
        return;
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void TForm1::N34Click()
{
    if (aboutProgram_)
        aboutProgram_->exec();
}

void TForm1::N35Click()
{
    if (aboutAuthor_)
        aboutAuthor_->exec();
}

void TForm1::SpeedButton11Click()
{
    // Puts the user straight into the report to edit it.
    RichEdit1->setFocus(Qt::OtherFocusReason);
}

bool TForm1::event(QEvent* e)
{
    // The status line shows only the hints of this window, and they stay.
    if (e->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(e);
}

void TForm1::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        runHandler(this, [this] { FormActivate(); });
}

void TForm1::closeEvent(QCloseEvent* e)
{
    if (hasUnsavedReport() && !UiServices::instance().askYesNo(this, kCloseQuestionTitle, kCloseQuestion)) {
        e->ignore();
        return;
    }
    e->accept();
    emit closed();
}

bool TForm1::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::MouseMove || e->type() == QEvent::Enter) {
        if (watched == RichEdit1->viewport())
            showHint(kReportViewName);
        else if (watched == StatusBar1)
            showHint(kStatusBarHint);
        else if (const QVariant hint = watched->property("statusHint"); hint.isValid())
            showHint(hint.toString());
    }
    return QMainWindow::eventFilter(watched, e);
}

} // namespace kalvanta
