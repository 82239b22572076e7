#pragma once
// The part of the message service that window tests rarely look at: every
// question is answered No and every dialog is cancelled, nothing is shown.
// Each test suite adds the message recording it needs.
#include <QString>

#include "ui/ui_services.h"

namespace kalvanta::test {

class DecliningUiServices : public UiServices {
public:
    bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
    QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
    bool printDialog(QWidget*, QPrinter&) override { return false; }
    bool printerSetupDialog(QWidget*, QPrinter&) override { return false; }
    bool fontDialog(QWidget*, QFont&) override { return false; }
};

} // namespace kalvanta::test
