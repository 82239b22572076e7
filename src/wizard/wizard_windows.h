#pragma once
// The input wizard as the desktop program sees it: the eight windows, each
// created once at start-up and only hidden when closed, and the wiring that
// joins them to each other and to the program.
#include "additional_data_dialog.h"
#include "balance_sheet_dialog.h"
#include "input_error_window.h"
#include "params_dialog.h"
#include "profit_loss_dialog.h"
#include "wizard_window.h"

namespace kalvanta {

// Tpar → TForm2 → TForm3 → (two years: Tdoubl → Tdabl) → Tform6 → (leverage: Tdopol),
// the last step calling hooks.showProgress.
void wireWizard(Tpar* par, TForm2* form2, Tdoubl* doubl, TForm3* form3, Tdabl* dabl, Tform6* form6,
                Tdopol* dopol, const WizardHooks& hooks);

} // namespace kalvanta
