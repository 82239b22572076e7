#include "history_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QVBoxLayout>

#include <memory>

#include "input_files.h"
#include "main_window.h"
#include "report_view.h"
#include "ui/ui_services.h"

namespace kalvanta {

namespace {

// Thrown from the progress call to stop the reading between two files.
struct RunCancelled {};

QString native(const QString& path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

std::string localPath(const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

QString historyRunNotes(const history::HistoryRun& run)
{
    QStringList parts;
    if (!run.refused.empty()) {
        QString text = QStringLiteral("Не прочитаны файлы (остальные проанализированы):");
        for (const std::string& line : run.refused)
            text += QStringLiteral("\n• ") + fromUtf8(line);
        parts << text;
    }
    for (const history::CompanyHistory& h : run.histories) {
        if (h.notes.empty())
            continue;
        QString text = QStringLiteral("Допущения истории «%1»:").arg(fromUtf8(h.organisation));
        for (const std::string& note : h.notes)
            text += QStringLiteral("\n• ") + fromUtf8(note);
        parts << text;
    }
    return parts.join(QStringLiteral("\n\n"));
}

HistoryWindow::HistoryWindow(TForm1* main) : QDialog(main), main_(main)
{
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(kHistoryTitle);

    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(QStringLiteral("Отчетность компании за несколько лет: файлы и папки (папки "
                                           "просматриваются вместе с вложенными). Файлы нескольких компаний "
                                           "дают по отчету на компанию."));
    hint->setWordWrap(true);
    layout->addWidget(hint);
    list = new QListWidget;
    list->setObjectName(QStringLiteral("inputs"));
    list->setAccessibleName(QStringLiteral("Файлы и папки для анализа"));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    hint->setBuddy(list);
    layout->addWidget(list, 1);

    auto* choose = new QHBoxLayout;
    addFilesButton = new QPushButton(QStringLiteral("Добавить &файлы..."));
    addFolderButton = new QPushButton(QStringLiteral("Добавить &папку..."));
    removeButton = new QPushButton(QStringLiteral("&Убрать"));
    for (QPushButton* b : {addFilesButton, addFolderButton, removeButton})
        choose->addWidget(b);
    choose->addStretch();
    layout->addLayout(choose);

    progress = new QProgressBar;
    progress->setObjectName(QStringLiteral("progress"));
    progress->setAccessibleName(QStringLiteral("Ход чтения файлов"));
    progress->setRange(0, 1);
    progress->setValue(0);
    layout->addWidget(progress);
    status = new QLabel(QStringLiteral("Выберите файлы или папку."));
    status->setObjectName(QStringLiteral("status"));
    status->setWordWrap(true);
    layout->addWidget(status);

    auto* run = new QHBoxLayout;
    run->addStretch();
    startButton = new QPushButton(QStringLiteral("&Анализ"));
    startButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Закрыть"));
    run->addWidget(startButton);
    run->addWidget(cancelButton);
    layout->addLayout(run);

    connect(addFilesButton, &QPushButton::clicked, this, [this] {
        addInputs(UiServices::instance().openFileNames(this, QStringLiteral("Отчетность за несколько лет"),
                                                       kStatementFilter));
    });
    connect(addFolderButton, &QPushButton::clicked, this, [this] {
        const QString folder =
            UiServices::instance().folderName(this, QStringLiteral("Папка с отчетностью за несколько лет"));
        addInputs(folder.isEmpty() ? QStringList() : QStringList{folder});
    });
    connect(removeButton, &QPushButton::clicked, this, [this] {
        qDeleteAll(list->selectedItems());
        setRunning(false);
    });
    connect(startButton, &QPushButton::clicked, this, &HistoryWindow::start);
    connect(cancelButton, &QPushButton::clicked, this, &HistoryWindow::cancelOrClose);
    connect(list, &QListWidget::itemSelectionChanged, this,
            [this] { removeButton->setEnabled(!running() && !list->selectedItems().isEmpty()); });

    poll_.setInterval(100);
    connect(&poll_, &QTimer::timeout, this, &HistoryWindow::showProgress);
    setRunning(false);
    resize(560, 360);
}

HistoryWindow::~HistoryWindow() { stopWorker(); }

QStringList HistoryWindow::inputs() const
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void HistoryWindow::addInputs(const QStringList& paths)
{
    for (const QString& p : paths)
        if (list->findItems(native(p), Qt::MatchExactly).isEmpty())
            list->addItem(native(p));
    setRunning(false);
}

void HistoryWindow::setRunning(bool on)
{
    for (QWidget* w : {static_cast<QWidget*>(addFilesButton), static_cast<QWidget*>(addFolderButton),
                       static_cast<QWidget*>(list)})
        w->setEnabled(!on);
    removeButton->setEnabled(!on && !list->selectedItems().isEmpty());
    startButton->setEnabled(!on && list->count() > 0);
    cancelButton->setText(on ? QStringLiteral("Отмена") : QStringLiteral("Закрыть"));
}

void HistoryWindow::start()
{
    if (running() || list->count() == 0)
        return;
    paths_.clear();
    for (const QString& s : inputs())
        paths_.push_back(localPath(s));
    separator_ = main_->regionalSettings().decimalSeparator;
    run_ = {};
    reports_.clear();
    failure_.clear();
    cancelled_ = false;
    done_ = 0;
    total_ = 0;
    cancel_ = false;
    progress->setRange(0, 0); // the count of files is known once the folders are walked
    setRunning(true);
    worker_ = std::thread([this] {
        try {
            run_ = history::readHistories(paths_, [this](std::size_t done, std::size_t total) {
                done_ = done;
                total_ = total;
                if (cancel_)
                    throw RunCancelled{};
            });
            // The reports are text of the core: written here too, not on the interface thread.
            for (const history::CompanyHistory& h : run_.histories) {
                if (cancel_)
                    throw RunCancelled{};
                reports_.push_back(history::historyReportLines(h, separator_));
            }
        } catch (const RunCancelled&) {
            cancelled_ = true;
        } catch (const std::exception& e) {
            failure_ = e.what();
        }
        QMetaObject::invokeMethod(this, &HistoryWindow::finished, Qt::QueuedConnection);
    });
    poll_.start();
    showProgress();
}

void HistoryWindow::showProgress()
{
    const std::size_t total = total_.load();
    if (total == 0) {
        status->setText(QStringLiteral("Поиск файлов..."));
        return;
    }
    progress->setRange(0, static_cast<int>(total));
    progress->setValue(static_cast<int>(done_.load()));
    status->setText(QStringLiteral("Прочитано %1 из %2 файлов").arg(done_.load()).arg(total));
}

void HistoryWindow::stopWorker()
{
    if (worker_.joinable()) {
        cancel_ = true;
        worker_.join();
    }
}

void HistoryWindow::cancelOrClose()
{
    if (running()) {
        cancel_ = true;
        status->setText(QStringLiteral("Отмена..."));
        return;
    }
    close();
}

void HistoryWindow::finished()
{
    if (worker_.joinable())
        worker_.join();
    poll_.stop();
    setRunning(false);
    progress->setRange(0, std::max<int>(1, static_cast<int>(total_.load())));
    progress->setValue(static_cast<int>(done_.load()));
    // Cancel pressed after the last file was read still means nothing is added.
    if (cancelled_ || cancel_) {
        status->setText(QStringLiteral("Отменено: в окно отчета ничего не добавлено."));
    } else if (!failure_.empty()) {
        status->setText(QStringLiteral("Анализ прерван ошибкой."));
        showError(fromUtf8(failure_), this);
    } else {
        const QString notes = historyRunNotes(run_);
        if (run_.histories.empty()) {
            status->setText(QStringLiteral("Нет отчетности для анализа."));
        } else {
            appendReports();
            status->setText(QStringLiteral("Готово: компаний %1, отчеты добавлены в конец окна отчета.")
                                .arg(run_.histories.size()));
        }
        if (!notes.isEmpty())
            UiServices::instance().message(this, run_.refused.empty() ? UiServices::Icon::Information
                                                                      : UiServices::Icon::Warning,
                                           kHistoryTitle, notes);
        if (!run_.histories.empty())
            close();
    }
    run_ = {};
    reports_.clear();
    emit runEnded();
}

void HistoryWindow::appendReports()
{
    ReportView& view = *main_->RichEdit1;
    int firstBlock = view.document()->blockCount();
    if (view.document()->isEmpty())
        firstBlock = 0;
    const int start = view.document()->characterCount() - 1;
    for (const std::vector<std::string>& lines : reports_) {
        // One edit block per report, as the fixed report is written.
        ReportViewSink sink(view);
        sink.setVerticalScrollBars();
        for (const std::string& line : lines)
            sink.appendLine(line);
    }
    // The history's tables line up by their spaces: a fixed-pitch face of
    // the view's size, kept in the saved document; what was there stays.
    QTextCursor added(view.document());
    added.setPosition(start);
    added.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    QTextCharFormat fixedPitch;
    fixedPitch.setFontFamilies(QStringList{kHistoryReportFont});
    fixedPitch.setFontFixedPitch(true);
    added.mergeCharFormat(fixedPitch);
    main_->markUnsaved();
    main_->setLatestHistory(std::make_shared<const history::CompanyHistory>(run_.histories.back()));
    main_->setHistoryReports(run_.histories);
    // The user sees the first report added at the top of the view, not what
    // the view held before: coming from the end, the view scrolls up just
    // far enough to show that line first.
    view.moveCursor(QTextCursor::End);
    view.ensureCursorVisible();
    view.setTextCursor(QTextCursor(view.document()->findBlockByNumber(firstBlock)));
    view.ensureCursorVisible();
}

void HistoryWindow::closeEvent(QCloseEvent* e)
{
    // The run goes on only while the window is open: closing cancels it.
    if (running()) {
        cancel_ = true;
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void HistoryWindow::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        cancelOrClose();
        return;
    }
    if (e->key() == Qt::Key_Delete && !running() && !list->selectedItems().isEmpty()) {
        qDeleteAll(list->selectedItems());
        setRunning(false);
        return;
    }
    QDialog::keyPressEvent(e);
}

void openHistoryAnalysis(TForm1* main)
{
    auto* window = main->findChild<HistoryWindow*>(QStringLiteral("HistoryWindow"));
    if (!window)
        window = new HistoryWindow(main);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace kalvanta
