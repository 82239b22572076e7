#include "program_windows.h"

#include "about_windows.h"
#include "help_window.h"
#include "main_window.h"
#include "progress_window.h"

#ifdef KALVANTA_HAVE_WIZARD
#include "input_files.h"
#include "wizard/wizard_windows.h"
#endif
#ifdef KALVANTA_HAVE_PLANNING_GUI
#include "planning_gui/planning_windows.h"
#else
namespace kalvanta {
class PlanningWindows : public QObject {};
} // namespace kalvanta
#endif

namespace kalvanta {

namespace {

void bringUp(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

const std::vector<QString>& windowCreationOrder()
{
    static const std::vector<QString> order = [] {
        std::vector<QString> names{QStringLiteral("TForm1")};
#ifdef KALVANTA_HAVE_PLANNING_GUI
        names.push_back(QStringLiteral("Trez"));
#endif
#ifdef KALVANTA_HAVE_WIZARD
        for (const char* name : {"Tdopol", "TForm2", "Tdoubl", "TForm3", "Tdabl", "Tform6"})
            names.push_back(QString::fromUtf8(name));
#endif
        names.push_back(QStringLiteral("TForm9"));
#ifdef KALVANTA_HAVE_WIZARD
        names.push_back(QStringLiteral("TForm14"));
#endif
        names.push_back(QStringLiteral("Thelp"));
#ifdef KALVANTA_HAVE_WIZARD
        names.push_back(QStringLiteral("Tpar"));
#endif
#ifdef KALVANTA_HAVE_PLANNING_GUI
        names.push_back(QStringLiteral("Tplan"));
#endif
        names.push_back(QStringLiteral("Tabout"));
        names.push_back(QStringLiteral("Tprogr"));
#ifdef KALVANTA_HAVE_PLANNING_GUI
        names.push_back(QStringLiteral("Tkred"));
        names.push_back(QStringLiteral("Tinvest"));
#endif
        return names;
    }();
    return order;
}

template <class T, class... Args>
T* ProgramWindows::create(Args&&... args)
{
    auto window = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = window.get();
    owned_.push_back(std::move(window));
    record(raw);
    return raw;
}

ProgramWindows::ProgramWindows()
{
    main_ = create<TForm1>();
    AnalysisInput& input = main_->input();
#ifdef KALVANTA_HAVE_PLANNING_GUI
    // In front of the main window, and gone with it.
    planning_ = std::make_unique<PlanningWindows>(main_);
    planning_->createRez();
    record(planning_->rez());
#endif
#ifdef KALVANTA_HAVE_WIZARD
    auto* dopol = create<Tdopol>(input);
    auto* form2 = create<TForm2>(input);
    auto* doubl = create<Tdoubl>(input);
    auto* form3 = create<TForm3>(input);
    auto* dabl = create<Tdabl>(input);
    auto* form6 = create<Tform6>(input);
#endif
    aboutProgram_ = create<TForm9>();
#ifdef KALVANTA_HAVE_WIZARD
    create<TForm14>(input);
#endif
    help_ = create<Thelp>();
#ifdef KALVANTA_HAVE_WIZARD
    auto* par = create<Tpar>(input);
#endif
#ifdef KALVANTA_HAVE_PLANNING_GUI
    planning_->createPlan();
    record(planning_->plan());
#endif
    aboutAuthor_ = create<Tabout>();
    progress_ = create<Tprogr>(input);
#ifdef KALVANTA_HAVE_PLANNING_GUI
    planning_->createKred();
    record(planning_->kred());
    planning_->createInvest();
    record(planning_->invest());
#endif

    main_->setProgressWindow(progress_);
    main_->setHelpWindow(help_);
    main_->setAboutWindows(aboutProgram_, aboutAuthor_);
    help_->setAboutWindows(aboutProgram_, aboutAuthor_);
#ifdef KALVANTA_HAVE_WIZARD
    WizardHooks hooks;
    hooks.showHelp = [this] { showHelp(); };
    hooks.showProgress = [this] { showProgress(); };
    hooks.markUnsaved = [this] { main_->markUnsaved(); };
    wireWizard(par, form2, doubl, form3, dabl, form6, dopol, hooks);
    main_->setNewCalculation([par] { bringToFront(par); });
    inputFiles_ = new InputFiles(main_, par->links());
    InputFiles* files = inputFiles_;
    main_->setInputFileCommands([files] { files->importStatements(); }, [files] { files->openInputSet(); },
                                [files] { files->saveInputSet(); });
#endif
#ifdef KALVANTA_HAVE_PLANNING_GUI
    planning_->setHelpHandlers([this] { showHelp(); }, [this] { showHelpModal(); });
    PlanningWindows* planning = planning_.get();
    main_->setPlanningCommands([planning] { planning->openProduction(); },
                               [planning] { planning->openCredits(); },
                               [planning] { planning->openInvestments(); });
#endif
}

ProgramWindows::~ProgramWindows()
{
    // Reverse order: the main window, which the others refer to, goes last.
    order_.clear();
    planning_.reset();
    while (!owned_.empty())
        owned_.pop_back();
}

std::vector<QWidget*> ProgramWindows::windows() const { return order_; }

QWidget* ProgramWindows::window(const QString& name) const
{
    for (QWidget* w : order_)
        if (w->objectName() == name)
            return w;
    return nullptr;
}

void ProgramWindows::showHelp() { bringUp(help_); }

void ProgramWindows::showHelpModal()
{
    // A modeless help window would be blocked by the modal calculator.
    if (help_->isVisible())
        help_->hide();
    help_->exec();
}

void ProgramWindows::showProgress() { bringUp(progress_); }

void ProgramWindows::openFile(const QString& path)
{
#ifdef KALVANTA_HAVE_WIZARD
    inputFiles_->openFromCommandLine(path);
#else
    main_->openDocument(path);
#endif
}

} // namespace kalvanta
