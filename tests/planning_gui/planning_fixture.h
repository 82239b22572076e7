#pragma once
// What the planning window tests share: a fake dialog service that records
// every message and answers the print dialog, and line helpers.
#include <QPrinter>
#include <QString>
#include <QStringList>

#include <functional>

#include "numeric/regional_settings.h"
#include "ui/ui_services.h"

namespace kalvanta::test {

struct ShownMessage {
    UiServices::Icon icon;
    QString title;
    QString text;
};

class FakeUiServices : public UiServices {
public:
    FakeUiServices() { UiServices::setInstance(this); }
    ~FakeUiServices() override { UiServices::setInstance(nullptr); }

    void message(QWidget*, Icon icon, const QString& title, const QString& text) override
    {
        messages.push_back({icon, title, text});
    }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
    QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
    bool printDialog(QWidget*, QPrinter& printer) override
    {
        printJobTitles << printer.docName();
        if (printToFile.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToFile);
        return true;
    }
    bool printerSetupDialog(QWidget*, QPrinter&) override { return false; }
    bool fontDialog(QWidget*, QFont&) override { return false; }

    QList<ShownMessage> messages;
    QStringList printJobTitles;
    QString printToFile; // empty: the print dialog is cancelled
};

inline RegionalSettings commaSettings() { return RegionalSettings::russian(); }

} // namespace kalvanta::test
