#include "ui_services.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

#include <exception>

#include "numeric/float_errors.h"

namespace kalvanta {

namespace {
UiServices* g_override = nullptr;
}

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

QString QtUiServices::openFileName(QWidget* parent, const QString& caption, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QString QtUiServices::saveFileName(QWidget* parent, const QString& caption, const QString& filter)
{
    // Qt's dialog asks before replacing an existing file.
    return QFileDialog::getSaveFileName(parent, caption, QString(), filter);
}

bool QtUiServices::printDialog(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dlg(&printer, parent);
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
