#include "batch_window.h"

#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "history/bulk_reader.h"
#include "indicators/table_writers.h"
#include "ui/ui_services.h"

namespace kalvanta {

namespace {

const QString kTitle = QStringLiteral("Анализ группы файлов");
const QString kTableFilter = QStringLiteral(
    "Книга Excel (*.xlsx);;CSV для Excel и LibreOffice с русскими настройками (*.csv);;JSON Lines (*.jsonl)");

QString inputFilter()
{
    QStringList patterns;
    for (const std::string& e : indicators::inputFileExtensions())
        patterns << "*" + QString::fromStdString(e);
    return QStringLiteral("Файлы анализа (%1);;Все файлы (*)").arg(patterns.join(' '));
}

QString native(const QString& path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

} // namespace

std::optional<indicators::TableFormat> desktopTableFormat(const QString& path)
{
    using indicators::TableFormat;
    const std::optional<TableFormat> f = indicators::formatFromExtension(path.toStdString());
    if (f == TableFormat::Csv)
        return TableFormat::CsvRussian;
    return f;
}

BatchWindow::BatchWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("BatchWindow"));
    setWindowTitle(kTitle);
    chooseFiles = [](QWidget* w) {
        return QFileDialog::getOpenFileNames(w, QStringLiteral("Файлы для анализа"), QString(), inputFilter());
    };
    chooseFolder = [](QWidget* w) {
        return QFileDialog::getExistingDirectory(w, QStringLiteral("Папка с файлами для анализа"));
    };

    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(QStringLiteral("Файлы и папки для анализа (папки просматриваются вместе с вложенными):"));
    hint->setWordWrap(true);
    layout->addWidget(hint);
    list = new QListWidget;
    list->setObjectName(QStringLiteral("inputs"));
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
    progress->setRange(0, 1);
    progress->setValue(0);
    layout->addWidget(progress);
    status = new QLabel(QStringLiteral("Выберите файлы или папку."));
    status->setObjectName(QStringLiteral("status"));
    status->setWordWrap(true); // a long path must not widen the window
    layout->addWidget(status);

    auto* run = new QHBoxLayout;
    run->addStretch();
    startButton = new QPushButton(QStringLiteral("&Анализ"));
    startButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Закрыть"));
    run->addWidget(startButton);
    run->addWidget(cancelButton);
    layout->addLayout(run);

    connect(addFilesButton, &QPushButton::clicked, this, &BatchWindow::addFiles);
    connect(addFolderButton, &QPushButton::clicked, this, &BatchWindow::addFolder);
    connect(removeButton, &QPushButton::clicked, this, &BatchWindow::removeSelected);
    connect(startButton, &QPushButton::clicked, this, &BatchWindow::start);
    connect(cancelButton, &QPushButton::clicked, this, &BatchWindow::cancelOrClose);
    connect(list, &QListWidget::itemSelectionChanged, this,
            [this] { removeButton->setEnabled(!running() && !list->selectedItems().isEmpty()); });

    poll_.setInterval(100);
    connect(&poll_, &QTimer::timeout, this, &BatchWindow::showProgress);
    setRunning(false);
    resize(560, 360);
}

BatchWindow::~BatchWindow() { stopWorker(); }

QStringList BatchWindow::inputs() const
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void BatchWindow::addFiles()
{
    for (const QString& f : chooseFiles(this))
        if (list->findItems(native(f), Qt::MatchExactly).isEmpty())
            list->addItem(native(f));
    setRunning(false);
}

void BatchWindow::addFolder()
{
    const QString folder = chooseFolder(this);
    if (!folder.isEmpty() && list->findItems(native(folder), Qt::MatchExactly).isEmpty())
        list->addItem(native(folder));
    setRunning(false);
}

void BatchWindow::removeSelected()
{
    qDeleteAll(list->selectedItems());
    setRunning(false);
}

void BatchWindow::setRunning(bool on)
{
    for (QWidget* w : {static_cast<QWidget*>(addFilesButton), static_cast<QWidget*>(addFolderButton),
                       static_cast<QWidget*>(list)})
        w->setEnabled(!on);
    removeButton->setEnabled(!on && !list->selectedItems().isEmpty());
    startButton->setEnabled(!on && list->count() > 0);
    cancelButton->setText(on ? QStringLiteral("Отмена") : QStringLiteral("Закрыть"));
}

void BatchWindow::start()
{
    if (running() || list->count() == 0)
        return;
    std::vector<std::string> names;
    for (const QString& s : inputs())
        names.push_back(s.toStdString());
    std::size_t bulkFiles = 0;
    for (const std::string& name : names)
        bulkFiles += QFileInfo(QString::fromStdString(name)).isFile() && history::isBulkFile(name);
    if (bulkFiles > 0) {
        if (bulkFiles < names.size()) {
            UiServices::instance().message(
                this, UiServices::Icon::Warning, kTitle,
                QStringLiteral("Файлы статистики с отчетностью всех организаций за год анализируются отдельно от "
                               "других файлов и папок: уберите из списка либо их, либо остальные."));
            return;
        }
        startBulk(names);
        return;
    }
    bulk_ = false;
    const indicators::InputFileList found = indicators::collectInputFiles(names);
    if (!found.problems.empty()) {
        QStringList lines;
        for (const std::string& p : found.problems)
            lines << QString::fromStdString(p);
        UiServices::instance().message(this, UiServices::Icon::Warning, kTitle, lines.join('\n'));
    }
    if (found.files.empty()) {
        status->setText(QStringLiteral("Нет файлов для анализа."));
        return;
    }
    files_ = found.files;
    rows_.clear();
    rows_.reserve(files_.size());
    done_ = 0;
    cancel_ = false;
    progress->setRange(0, static_cast<int>(files_.size()));
    progress->setValue(0);
    setRunning(true);
    worker_ = std::thread([this] {
        indicators::BatchControl control;
        control.jobs = 0;
        control.cancel = &cancel_;
        control.progress = [this](std::size_t done, std::size_t) { done_ = done; };
        // Only this thread touches rows_ until finished() runs on the interface thread.
        summary_ = indicators::runBatch(files_, control,
                                        [this](std::size_t, indicators::IndicatorRow& row) { rows_.push_back(std::move(row)); });
        QMetaObject::invokeMethod(this, &BatchWindow::finished, Qt::QueuedConnection);
    });
    poll_.start();
    showProgress();
}

void BatchWindow::startBulk(const std::vector<std::string>& files)
{
    // The office names its files by the year ("…-20171231.csv"); a renamed
    // one is asked for rather than refused.
    QStringList unnamed;
    for (const std::string& f : files)
        if (!history::bulkYearFromName(f))
            unnamed << QFileInfo(QString::fromStdString(f)).fileName();
    std::optional<int> unnamedYear;
    if (!unnamed.isEmpty()) {
        const int thisYear = QDate::currentDate().year();
        unnamedYear = UiServices::instance().askInteger(
            this, kTitle,
            QStringLiteral("В имени файла нет отчетного года (…-<год>1231.csv): %1.\nЗа какой год в нем отчетность?")
                .arg(unnamed.join(QStringLiteral(", "))),
            thisYear - 1, 1990, thisYear);
        if (!unnamedYear)
            return;
    }
    const QString path = chooseTablePath(QStringLiteral("Сохранить таблицу отбора"));
    if (path.isEmpty())
        return;
    bulk_ = true;
    files_ = files;
    bulkTable_ = path;
    bulkRefused_.clear();
    bulkError_.clear();
    bulkSummary_ = {};
    permille_ = 0;
    cancel_ = false;
    progress->setRange(0, 1000);
    progress->setValue(0);
    setRunning(true);
    const indicators::TableFormat format = *desktopTableFormat(path);
    worker_ = std::thread([this, format, unnamedYear, target = path.toStdString()] {
        try {
            indicators::TableFileWriter writer(target, format, history::bulkTableLayout());
            history::BulkTableControl control;
            control.jobs = 0;
            control.unnamedYear = unnamedYear;
            if (writer.writesLines()) {
                control.lineOf = [&writer](const std::vector<indicators::Cell>& row) { return writer.lineOf(row); };
                control.deliverLine = [&writer](std::string_view line) { writer.writeLine(line); };
            }
            control.cancel = &cancel_;
            control.progress = [this](std::uint64_t done, std::uint64_t total, int pass, int passes) {
                const double part = total == 0 ? 1.0 : static_cast<double>(done) / static_cast<double>(total);
                permille_ = static_cast<int>(1000 * ((pass - 1) + part) / passes);
            };
            // Only this thread touches the summary and the messages until finishedBulk() runs.
            bulkSummary_ = history::runBulkTable(
                files_, control,
                [this](const std::string& r) {
                    if (bulkRefused_.size() < 10)
                        bulkRefused_.push_back(r);
                },
                [&writer](const std::vector<indicators::Cell>& row) { writer.writeCells(row); });
            if (!bulkSummary_.cancelled)
                writer.commit(); // else the writer's temporary file goes with it
        } catch (const std::exception& e) {
            bulkError_ = e.what();
        }
        QMetaObject::invokeMethod(this, &BatchWindow::finishedBulk, Qt::QueuedConnection);
    });
    poll_.start();
    showProgress();
}

void BatchWindow::finishedBulk()
{
    if (worker_.joinable())
        worker_.join();
    poll_.stop();
    const history::BulkTableSummary& s = bulkSummary_;
    UiServices& ui = UiServices::instance();
    if (!bulkError_.empty()) {
        progress->setValue(0);
        status->setText(QStringLiteral("Таблица не сохранена."));
        ui.message(this, UiServices::Icon::Stop, kTitle,
                   QStringLiteral("Таблица не сохранена: %1").arg(QString::fromStdString(bulkError_)));
    } else if (s.cancelled) {
        status->setText(QStringLiteral("Отменено: таблица не сохранена."));
    } else {
        progress->setValue(1000);
        status->setText(QStringLiteral("Готово: прочитано строк %1, отказано %2, записано организаций %3; таблица "
                                       "сохранена в %4")
                            .arg(s.read)
                            .arg(s.refused)
                            .arg(s.written)
                            .arg(native(bulkTable_)));
        if (s.refused > 0) {
            QStringList lines;
            for (const std::string& r : bulkRefused_)
                lines << QString::fromStdString(r);
            if (s.refused > bulkRefused_.size())
                lines << QStringLiteral("и еще строк: %1").arg(s.refused - bulkRefused_.size());
            ui.message(this, UiServices::Icon::Warning, kTitle,
                       QStringLiteral("Строки, которые не удалось прочитать (пропущены):\n") + lines.join('\n'));
        }
    }
    setRunning(false);
    emit runEnded();
}

QString BatchWindow::chooseTablePath(const QString& title)
{
    UiServices& ui = UiServices::instance();
    for (;;) {
        QString path = ui.saveFileName(this, title, kTableFilter);
        if (path.isEmpty())
            return {};
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".xlsx");
        if (!desktopTableFormat(path)) {
            ui.message(this, UiServices::Icon::Warning, kTitle,
                       QStringLiteral("Формат таблицы определяется расширением имени: .xlsx, .csv или .jsonl."));
            continue;
        }
        if (QFileInfo::exists(path) &&
            !ui.askYesNo(this, QStringLiteral("Confirm Save As"),
                         QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(native(path))))
            continue;
        return path;
    }
}

void BatchWindow::showProgress()
{
    if (bulk_) {
        progress->setValue(permille_.load());
        status->setText(QStringLiteral("Прочитано %1 %").arg(permille_.load() / 10));
        return;
    }
    progress->setValue(static_cast<int>(done_.load()));
    status->setText(QStringLiteral("Проанализировано %1 из %2 файлов").arg(done_.load()).arg(files_.size()));
}

void BatchWindow::stopWorker()
{
    if (worker_.joinable()) {
        cancel_ = true;
        worker_.join();
    }
}

void BatchWindow::cancelOrClose()
{
    if (running()) {
        cancel_ = true;
        status->setText(QStringLiteral("Отмена..."));
        return;
    }
    close();
}

void BatchWindow::finished()
{
    if (worker_.joinable())
        worker_.join();
    poll_.stop();
    showProgress();
    const indicators::BatchSummary s = summary_;
    status->setText(QStringLiteral("%1: проанализировано %2, прервано ошибкой %3, отказано %4")
                        .arg(s.cancelled ? QStringLiteral("Отменено") : QStringLiteral("Готово"))
                        .arg(s.analysed)
                        .arg(s.arithmeticErrors)
                        .arg(s.refused));
    if (!rows_.empty())
        saveTable();
    rows_.clear();
    rows_.shrink_to_fit();
    setRunning(false);
    emit runEnded();
}

void BatchWindow::saveTable()
{
    UiServices& ui = UiServices::instance();
    for (;;) {
        QString path = ui.saveFileName(this, QStringLiteral("Сохранить таблицу показателей"), kTableFilter);
        if (path.isEmpty()) {
            // The analyses may have taken long: giving them up is asked.
            if (ui.askYesNo(this, kTitle, QStringLiteral("Таблица показателей не сохранена. Отказаться от нее?")))
                return;
            continue;
        }
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".xlsx");
        const std::optional<indicators::TableFormat> format = desktopTableFormat(path);
        if (!format) {
            ui.message(this, UiServices::Icon::Warning, kTitle,
                       QStringLiteral("Формат таблицы определяется расширением имени: .xlsx, .csv или .jsonl."));
            continue;
        }
        if (QFileInfo::exists(path) &&
            !ui.askYesNo(this, QStringLiteral("Confirm Save As"),
                         QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(native(path))))
            continue;
        try {
            indicators::TableFileWriter writer(path.toStdString(), *format);
            for (const indicators::IndicatorRow& row : rows_)
                writer.writeRow(row);
            writer.commit();
        } catch (const std::exception& e) {
            ui.message(this, UiServices::Icon::Stop, kApplicationTitle,
                       QStringLiteral("Таблица не сохранена: %1").arg(QString::fromStdString(e.what())));
            continue;
        }
        status->setText(status->text() + QStringLiteral("; таблица сохранена в ") + native(path));
        return;
    }
}

void BatchWindow::closeEvent(QCloseEvent* e)
{
    // The run goes on only while the window is open: closing cancels it and
    // offers what was done.
    if (running()) {
        cancel_ = true;
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void BatchWindow::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        cancelOrClose();
        return;
    }
    if (e->key() == Qt::Key_Delete && !running() && !list->selectedItems().isEmpty()) {
        removeSelected();
        return;
    }
    QDialog::keyPressEvent(e);
}

void openBatchAnalysis(QWidget* mainWindow)
{
    auto* window = mainWindow->findChild<BatchWindow*>(QStringLiteral("BatchWindow"));
    if (!window)
        window = new BatchWindow(mainWindow);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace kalvanta
