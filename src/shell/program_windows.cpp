#include "program_windows.h"

#include "about_windows.h"
#include "help_window.h"
#include "main_window.h"
#include "progress_window.h"

#ifdef KALVANTA_HAVE_WIZARD
#include "wizard/wizard_windows.h"
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
    windows_.push_back(std::move(window));
    return raw;
}

ProgramWindows::ProgramWindows()
{
    main_ = create<TForm1>();
    AnalysisInput& input = main_->input();
#ifdef KALVANTA_HAVE_PLANNING_GUI
    // planning windows join here
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
    aboutAuthor_ = create<Tabout>();
    progress_ = create<Tprogr>(input);

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
#endif
}

ProgramWindows::~ProgramWindows()
{
    // Reverse order: the main window, which the others refer to, goes last.
    while (!windows_.empty())
        windows_.pop_back();
}

std::vector<QWidget*> ProgramWindows::windows() const
{
    std::vector<QWidget*> out;
    for (const auto& w : windows_)
        out.push_back(w.get());
    return out;
}

QWidget* ProgramWindows::window(const QString& name) const
{
    for (const auto& w : windows_)
        if (w->objectName() == name)
            return w.get();
    return nullptr;
}

void ProgramWindows::showHelp() { bringUp(help_); }

void ProgramWindows::showProgress() { bringUp(progress_); }

} // namespace kalvanta
