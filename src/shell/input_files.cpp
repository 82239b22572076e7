#include "input_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "document/document_io.h"
#include "inputs/input_set_writer.h"
#include "inputs/json_loader.h"
#include "main_window.h"
#include "statements/statement_import.h"
#include "ui/ui_services.h"
#include "wizard/wizard_fill.h"
#include "wizard/wizard_windows.h"

namespace kalvanta {

namespace {

// Enough of a file's start to tell its kind.
constexpr qint64 kKindProbeBytes = 64 * 1024;

QString nativePath(const QString& path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

std::string localPath(const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Whether the file is an analysis input (statement or input set) rather
// than a report document. RTF is a document although it starts like JSON;
// a file that is not a regular one, or cannot be read, is left to the
// document reader, which never waits on a pipe and says what is wrong.
bool isAnalysisInput(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray start = file.read(kKindProbeBytes);
    std::string_view bytes(start.constData(), static_cast<std::size_t>(start.size()));
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (bytes.starts_with("{\\rtf"))
        return false;
    return detectInputFileKind(bytes) != InputFileKind::Unknown;
}

QString notesText(const QString& path, const std::vector<std::string>& notes)
{
    QString text = QStringLiteral("Данные файла %1 перенесены в окна ввода данных. Допущения этого файла:\n")
                       .arg(nativePath(path));
    for (const std::string& note : notes)
        text += QStringLiteral("\n• ") + QString::fromStdString(note);
    text += QStringLiteral("\n\nПроверьте и при необходимости исправьте данные в окнах расчета.");
    return text;
}

} // namespace

InputFiles::InputFiles(TForm1* main, const WizardLinks& wizard)
    : QObject(main), main_(main), wizard_(wizard), untyped_(wizardContents(wizard))
{
}

void InputFiles::importStatements()
{
    const QString path = UiServices::instance().openFileName(main_, kImportTitle, kStatementFilter);
    if (!path.isEmpty())
        fillWizardFrom(path);
}

void InputFiles::openInputSet()
{
    const QString path = UiServices::instance().openFileName(main_, kOpenInputsTitle, kInputSetFilter);
    if (!path.isEmpty())
        fillWizardFrom(path);
}

bool InputFiles::fillWizardFrom(const QString& path)
{
    // Everything is read and checked before anything changes.
    if (QFileInfo::exists(path) && !QFileInfo(path).isFile()) {
        // Reading a pipe or a device could wait for ever.
        showError(nativePath(path) + QStringLiteral(": not a regular file"), main_);
        return false;
    }
    ImportedAnalysis loaded;
    try {
        loaded = loadInputFile(localPath(path));
    } catch (const std::exception& e) {
        showError(e, main_);
        return false;
    }
    const double years = loaded.input.AnalysisParameters.YearCount;
    if (years != 1.0 && years != 2.0) {
        // The wizard analyses one or two years and nothing else.
        showError(nativePath(path) + QStringLiteral(": \"YearCount\" must be 1 or 2"), main_);
        return false;
    }
    if (wizardContents(wizard_) != untyped_ &&
        !UiServices::instance().askYesNo(main_, QStringLiteral("Confirm"),
                                         kReplaceTypedQuestion.arg(nativePath(path))))
        return false;

    // The analyst starts again from the parameters dialog.
    for (QWidget* step : std::initializer_list<QWidget*>{wizard_.form2, wizard_.form3, wizard_.doubl, wizard_.dabl,
                                                         wizard_.form6, wizard_.dopol})
        if (step)
            step->hide();
    if (productDataKept(loaded.input))
        loaded.notes.push_back(kProductsKeptNote.toStdString());
    fillWizard(wizard_, loaded.input);
    untyped_ = wizardContents(wizard_);
    if (!loaded.notes.empty())
        UiServices::instance().message(main_, UiServices::Icon::Information, kImportTitle,
                                       notesText(path, loaded.notes));
    if (wizard_.par)
        bringToFront(wizard_.par);
    return true;
}

void InputFiles::saveInputSet()
{
    const std::optional<AnalysisInput>& record = main_->lastAnalysis();
    if (!record) {
        UiServices::instance().message(main_, UiServices::Icon::Information, kSaveInputsTitle, kNothingToSave);
        return;
    }
    QString path;
    for (;;) {
        path = UiServices::instance().saveFileName(main_, kSaveInputsTitle, kInputSetFilter);
        if (path.isEmpty())
            return;
        // Input sets are known by their extension in the file dialogs.
        if (QFileInfo(path).suffix().isEmpty() && !QFileInfo::exists(path))
            path += QStringLiteral(".json");
        if (!QFileInfo::exists(path))
            break;
        const QString question =
            QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(nativePath(path));
        if (UiServices::instance().askYesNo(main_, QStringLiteral("Confirm Save As"), question))
            break;
    }
    try {
        doc::saveBytesFile(localPath(path), inputSetJson(*record));
    } catch (const std::exception& e) {
        showError(e, main_);
    }
}

void InputFiles::openFromCommandLine(const QString& path)
{
    if (isAnalysisInput(path))
        fillWizardFrom(path);
    else
        main_->openDocument(path);
}

} // namespace kalvanta
