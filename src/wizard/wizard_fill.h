#pragma once
// Filling the wizard from a record (an imported statement, an opened input
// set): every dialog shows the record's values as if the user had typed
// them, so that going through the wizard gives the same record again and
// the analyst can correct any line on the way.
#include <QString>
#include <QStringList>

#include "wizard_window.h"

namespace kalvanta {

// The text a field shows for a value: the general number format with the
// regional separator; a value whose fifteen digits would read back as
// another double is written with all the digits it needs.
QString fieldText(double value, const RegionalSettings& regional);

// Puts `record` into every field of the wizard's dialogs (each with its own
// regional settings; product rows see productDataKept), ticks the parameters dialog's switches and selects its
// years and the additional data dialog's product count. The radio buttons
// act as the user's clicks do, so YearCount and ProductCount of the
// dialogs' record follow them; nothing else in that record changes until a
// dialog is confirmed.
void fillWizard(const WizardLinks& links, const AnalysisInput& record);

// Whether fillWizard leaves the additional data dialog's product rows (and
// its product count) as they are: when the record's operating leverage is
// off the report does not read them, and figures that fail the price test
// (a statement has none: every price and cost is 0) would only stop the
// wizard with the price message at "Готово".
bool productDataKept(const AnalysisInput& record);

// What the dialogs hold now (texts, ticks, selections), to tell whether the
// user changed anything since the program last filled them.
QStringList wizardContents(const WizardLinks& links);

} // namespace kalvanta
