#pragma once
// Answers the program's message boxes and common dialogs in tests, and
// records what was asked.
#include <QFont>
#include <QPrinter>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

#include "ui/ui_services.h"

namespace kalvanta::test {

class FakeUiServices : public UiServices {
public:
    struct Message {
        Icon icon;
        QString title;
        QString text;
    };
    struct Question {
        QString title;
        QString text;
    };

    std::vector<Message> messages;
    std::vector<Question> questions;
    std::deque<bool> yesNoAnswers; // consumed in order; then defaultAnswer
    bool defaultAnswer = true;
    std::deque<QString> openAnswers; // empty string = cancelled
    std::deque<QString> saveAnswers;
    std::deque<QStringList> openManyAnswers; // an empty list = cancelled
    std::deque<QString> folderAnswers;
    std::deque<std::optional<int>> integerAnswers; // nullopt = cancelled; none left = cancelled
    std::vector<Question> integerQuestions;
    std::vector<QString> saveFilters;     // the file types each save dialog offered
    std::deque<QString> saveTypeAnswers; // the type chosen; the first offered when none is left
    QString lastSaveType;
    int openDialogs = 0;
    int saveDialogs = 0;
    int printDialogs = 0;
    int printerSetupDialogs = 0;
    std::function<bool(QPrinter&)> onPrintDialog = [](QPrinter&) { return false; };
    std::function<bool(QPrinter&)> onPrinterSetup = [](QPrinter&) { return false; };
    std::function<bool(QFont&)> onFontDialog = [](QFont&) { return false; };
    QFont fontOffered;
    // Runs with the name a file dialog returns, before the program uses it.
    std::function<void(const QString&)> onFileChosen = [](const QString&) {};

    void message(QWidget*, Icon icon, const QString& title, const QString& text) override
    {
        messages.push_back({icon, title, text});
    }
    bool askYesNo(QWidget*, const QString& title, const QString& text) override
    {
        questions.push_back({title, text});
        if (yesNoAnswers.empty())
            return defaultAnswer;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    QString openFileName(QWidget*, const QString&, const QString&) override
    {
        ++openDialogs;
        return chosen(next(openAnswers));
    }
    QStringList openFileNames(QWidget*, const QString&, const QString&) override
    {
        ++openDialogs;
        if (openManyAnswers.empty())
            return {};
        QStringList answer = openManyAnswers.front();
        openManyAnswers.pop_front();
        return answer;
    }
    QString folderName(QWidget*, const QString&) override
    {
        ++openDialogs;
        return chosen(next(folderAnswers));
    }
    QString saveFileName(QWidget*, const QString&, const QString& filter) override
    {
        ++saveDialogs;
        saveFilters.push_back(filter);
        lastSaveType = next(saveTypeAnswers);
        return chosen(next(saveAnswers));
    }
    QString lastSaveFilter() const override { return lastSaveType; }
    std::optional<int> askInteger(QWidget*, const QString& title, const QString& label, int, int, int) override
    {
        integerQuestions.push_back({title, label});
        if (integerAnswers.empty())
            return std::nullopt;
        const std::optional<int> answer = integerAnswers.front();
        integerAnswers.pop_front();
        return answer;
    }
    bool printDialog(QWidget*, QPrinter& printer) override
    {
        ++printDialogs;
        return onPrintDialog(printer);
    }
    bool printerSetupDialog(QWidget*, QPrinter& printer) override
    {
        ++printerSetupDialogs;
        return onPrinterSetup(printer);
    }
    bool fontDialog(QWidget*, QFont& font) override
    {
        fontOffered = font;
        return onFontDialog(font);
    }

private:
    QString chosen(const QString& name)
    {
        if (!name.isEmpty())
            onFileChosen(name);
        return name;
    }
    static QString next(std::deque<QString>& answers)
    {
        if (answers.empty())
            return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Installs a fake for the life of a test.
struct FakeServicesScope {
    FakeUiServices fake;
    FakeServicesScope() { UiServices::setInstance(&fake); }
    ~FakeServicesScope() { UiServices::setInstance(nullptr); }
    FakeServicesScope(const FakeServicesScope&) = delete;
    FakeServicesScope& operator=(const FakeServicesScope&) = delete;
};

} // namespace kalvanta::test
