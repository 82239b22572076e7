#include "ui_services.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

#include <exception>

#include "numeric/float_errors.h"

namespace kalvanta {

namespace {
UiServices* g_override = nullptr;
// The file dialogs offer the last chosen name again, for the whole run.
QString g_lastOpenName;
QString g_lastSaveName;
} // namespace

UiServices& UiServices::instance()
{
    static QtUiServices real;
    return g_override ? *g_override : real;
}

void UiServices::setInstance(UiServices* services) { g_override = services; }

void QtUiServices::message(QWidget* parent, Icon icon, const QString& title, const QString& text)
{
    QMessageBox::Icon qicon = QMessageBox::NoIcon;
    switch (icon) {
    case Icon::Stop: qicon = QMessageBox::Critical; break;
    case Icon::Warning: qicon = QMessageBox::Warning; break;
    case Icon::Information: qicon = QMessageBox::Information; break;
    case Icon::Question: qicon = QMessageBox::Question; break;
    }
    QMessageBox box(qicon, title, text, QMessageBox::Ok, parent);
    box.setAccessibleName(title);
    box.exec();
}

bool QtUiServices::askYesNo(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setAccessibleName(title);
    return box.exec() == QMessageBox::Yes;
}

bool QtUiServices::askYesNoDefaultNo(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setAccessibleName(title);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString QtUiServices::openFileName(QWidget* parent, const QString& caption, const QString& filter)
{
    const QString name = QFileDialog::getOpenFileName(parent, caption, g_lastOpenName, filter);
    if (!name.isEmpty())
        g_lastOpenName = name;
    return name;
}

QString QtUiServices::saveFileName(QWidget* parent, const QString& caption, const QString& filter)
{
    // The caller asks before replacing an existing file, through this
    // service, so the question is asked once and can be tested.
    lastSaveFilter_.clear();
    const QString name = QFileDialog::getSaveFileName(parent, caption, g_lastSaveName, filter, &lastSaveFilter_,
                                                      QFileDialog::DontConfirmOverwrite);
    if (!name.isEmpty())
        g_lastSaveName = name;
    return name;
}

QStringList QtUiServices::openFileNames(QWidget* parent, const QString& caption, const QString& filter)
{
    const QStringList names = QFileDialog::getOpenFileNames(parent, caption, g_lastOpenName, filter);
    if (!names.isEmpty())
        g_lastOpenName = names.first();
    return names;
}

QString QtUiServices::folderName(QWidget* parent, const QString& caption)
{
    return QFileDialog::getExistingDirectory(parent, caption, g_lastOpenName.isEmpty()
                                                                  ? QString()
                                                                  : QFileInfo(g_lastOpenName).path());
}

std::optional<int> QtUiServices::askInteger(QWidget* parent, const QString& title, const QString& label, int value,
                                            int min, int max)
{
    bool ok = false;
    const int answer = QInputDialog::getInt(parent, title, label, value, min, max, 1, &ok);
    return ok ? std::optional<int>(answer) : std::nullopt;
}

bool QtUiServices::printDialog(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dlg(&printer, parent);
    // The whole document is printed: no page range, no selection.
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
    dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dlg.exec() == QDialog::Accepted;
}

bool QtUiServices::printerSetupDialog(QWidget* parent, QPrinter& printer)
{
    QPageSetupDialog dlg(&printer, parent);
    return dlg.exec() == QDialog::Accepted;
}

bool QtUiServices::fontDialog(QWidget* parent, QFont& font)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, parent);
    if (ok)
        font = chosen;
    return ok;
}

void showError(const QString& message, QWidget* parent)
{
    UiServices::instance().message(parent, UiServices::Icon::Stop, kApplicationTitle,
                                   QString::fromStdString(withFullStop(message.toStdString())));
}

void showError(const std::exception& error, QWidget* parent)
{
    showError(QString::fromUtf8(error.what()), parent);
}

} // namespace kalvanta
