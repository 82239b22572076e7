#pragma once
// What the planning window tests share: a fake dialog service that records
// every message and answers the print dialog, the windows set up for each
// test, and line helpers.
#include <QApplication>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <QTest>

#include <functional>
#include <memory>

#include "numeric/regional_settings.h"
#include "planning_gui/planning_windows.h"
#include "support/declining_ui_services.h"

namespace kalvanta::test {

struct ShownMessage {
    UiServices::Icon icon;
    QString title;
    QString text;
};

class FakeUiServices : public DecliningUiServices {
public:
    FakeUiServices() { UiServices::setInstance(this); }
    ~FakeUiServices() override { UiServices::setInstance(nullptr); }

    void message(QWidget*, Icon icon, const QString& title, const QString& text) override
    {
        messages.push_back({icon, title, text});
    }
    bool printDialog(QWidget*, QPrinter& printer) override
    {
        printJobTitles << printer.docName();
        if (printToFile.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToFile);
        return true;
    }

    QList<ShownMessage> messages;
    QStringList printJobTitles;
    QString printToFile; // empty: the print dialog is cancelled
};

inline RegionalSettings commaSettings() { return RegionalSettings::russian(); }

// The windows of one test: the fake service in place before they are
// created and gone after they are destroyed. Test classes call these from
// their init and cleanup slots.
class PlanningWindowsFixture {
protected:
    std::unique_ptr<FakeUiServices> ui_;
    std::unique_ptr<PlanningWindows> windows_;

    void createWindows()
    {
        ui_ = std::make_unique<FakeUiServices>();
        windows_ = std::make_unique<PlanningWindows>();
        windows_->createAll();
        windows_->setRegionalSettings(commaSettings());
    }

    void destroyWindows()
    {
        windows_.reset();
        ui_.reset();
    }

    // Shown without a modal loop: the test drives it like a user.
    static void showActive(QWidget* window)
    {
        window->show();
        window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), window);
    }
};

} // namespace kalvanta::test
