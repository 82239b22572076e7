#include "wizard_windows.h"

namespace kalvanta {

void wireWizard(Tpar* par, TForm2* form2, Tdoubl* doubl, TForm3* form3, Tdabl* dabl, Tform6* form6,
                Tdopol* dopol, const WizardHooks& hooks)
{
    const WizardLinks links{par, form2, doubl, form3, dabl, form6, dopol, hooks};
    for (WizardWindow* window : std::initializer_list<WizardWindow*>{par, form2, doubl, form3, dabl, form6, dopol})
        if (window)
            window->setLinks(links);
}

} // namespace kalvanta
