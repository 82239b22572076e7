#pragma once
// Every window of the program, created once at start-up in the program's
// fixed order with the main window first, wired together, and destroyed in
// the reverse order when the program ends.
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

namespace kalvanta {

class TForm1;
class PlanningWindows;
class Tprogr;
class Thelp;
class TForm9;
class Tabout;
class InputFiles;

// The order in which the program creates its windows. Windows whose part of
// the program is not built are left out.
const std::vector<QString>& windowCreationOrder();

class ProgramWindows {
public:
    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    TForm1* mainWindow() const { return main_; }
    Tprogr* progressWindow() const { return progress_; }
    Thelp* helpWindow() const { return help_; }
    TForm9* aboutProgramWindow() const { return aboutProgram_; }
    Tabout* aboutAuthorWindow() const { return aboutAuthor_; }

    // The windows as they were created, first to last.
    std::vector<QWidget*> windows() const;
    // A window by its class name (`Tpar`, `Tkred`...); nullptr when absent.
    QWidget* window(const QString& name) const;

    // Shows the help window without waiting (menu, tool bar, dialogs' buttons).
    void showHelp();
    // Shows the help window and waits until it is closed: for the modal
    // calculators, which block every window but their own.
    void showHelpModal();
    // Shows the progress window, which then runs (the wizard's last step).
    void showProgress();
    // A file named on the command line: a report document into the view,
    // a statement or an input set into the wizard.
    void openFile(const QString& path);
    // The input-file commands of the File menu; nullptr without the wizard.
    InputFiles* inputFiles() const { return inputFiles_; }

private:
    template <class T, class... Args>
    T* create(Args&&... args);
    void record(QWidget* window) { order_.push_back(window); }

    std::vector<QWidget*> order_;
    std::vector<std::unique_ptr<QWidget>> owned_;
    std::unique_ptr<PlanningWindows> planning_;
    TForm1* main_ = nullptr;
    Tprogr* progress_ = nullptr;
    Thelp* help_ = nullptr;
    TForm9* aboutProgram_ = nullptr;
    Tabout* aboutAuthor_ = nullptr;
    InputFiles* inputFiles_ = nullptr; // owned by the main window
};

} // namespace kalvanta
