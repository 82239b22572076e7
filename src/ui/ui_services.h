#pragma once
// Every modal question the program asks goes through this one service, so
// tests can answer message boxes and common dialogs without a modal loop.
#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;
class QPrinter;

namespace kalvanta {

inline const QString kApplicationTitle = QStringLiteral("Kalvanta 4.5 SP1");

class UiServices {
public:
    enum class Icon { Stop, Warning, Information, Question };

    virtual ~UiServices() = default;

    // A message box with one "OK" button.
    virtual void message(QWidget* parent, Icon icon, const QString& title, const QString& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // The same with No as the default button, for questions whose Yes loses
    // something: Enter keeps things as they are.
    virtual bool askYesNoDefaultNo(QWidget* parent, const QString& title, const QString& text)
    {
        return askYesNo(parent, title, text);
    }
    // Common file dialogs; an empty string when cancelled. The save dialog
    // does not ask about an existing file: its caller does, with askYesNo.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& filter) = 0;
    // Several files at once, and a folder; empty when cancelled. The
    // defaults serve services that answer only one file and no folder.
    virtual QStringList openFileNames(QWidget* parent, const QString& caption, const QString& filter)
    {
        const QString one = openFileName(parent, caption, filter);
        return one.isEmpty() ? QStringList() : QStringList{one};
    }
    virtual QString folderName(QWidget* /*parent*/, const QString& /*caption*/) { return {}; }
    // A whole number between min and max, `value` offered; nullopt when
    // cancelled (and from services that cannot ask).
    virtual std::optional<int> askInteger(QWidget* /*parent*/, const QString& /*title*/, const QString& /*label*/,
                                          int /*value*/, int /*min*/, int /*max*/)
    {
        return std::nullopt;
    }
    // The file type (one of the ";;"-separated filters) chosen in the latest
    // save dialog; empty when it is not known (the caller takes the first).
    virtual QString lastSaveFilter() const { return QString(); }
    // Print and printer set-up dialogs; false when cancelled.
    virtual bool printDialog(QWidget* parent, QPrinter& printer) = 0;
    virtual bool printerSetupDialog(QWidget* parent, QPrinter& printer) = 0;
    // Font dialog; false when cancelled, else font holds the choice.
    virtual bool fontDialog(QWidget* parent, QFont& font) = 0;

    // The service in use; the real Qt dialogs unless a test set another.
    static UiServices& instance();
    // Replaces the service (nullptr restores the real dialogs); not owned.
    static void setInstance(UiServices* services);
};

// The real dialogs.
class QtUiServices : public UiServices {
public:
    void message(QWidget* parent, Icon icon, const QString& title, const QString& text) override;
    bool askYesNo(QWidget* parent, const QString& title, const QString& text) override;
    bool askYesNoDefaultNo(QWidget* parent, const QString& title, const QString& text) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& filter) override;
    QStringList openFileNames(QWidget* parent, const QString& caption, const QString& filter) override;
    QString folderName(QWidget* parent, const QString& caption) override;
    std::optional<int> askInteger(QWidget* parent, const QString& title, const QString& label, int value, int min,
                                  int max) override;
    QString lastSaveFilter() const override { return lastSaveFilter_; }
    bool printDialog(QWidget* parent, QPrinter& printer) override;
    bool printerSetupDialog(QWidget* parent, QPrinter& printer) override;
    bool fontDialog(QWidget* parent, QFont& font) override;

private:
    QString lastSaveFilter_;
};

// The application's default error display: a stop-icon box titled
// "Kalvanta 4.5 SP1" with the message and a full stop at its end.
void showError(const QString& message, QWidget* parent = nullptr);
void showError(const std::exception& error, QWidget* parent = nullptr);

} // namespace kalvanta
