// The Problems panel of the main window (View > Problems, F8): the findings of the checks
// (logic/checks) on the current page, one row each, refreshed after every step, with the
// error and warning counts in its title. A click on a row selects and centres the item it
// names, or opens the event or record in its editor (the general information editor for a
// finding about the mission as a whole).
#pragma once

#include "logic/checks.h"
#include "platform/ui.h"

#include <vector>

// View > Problems: shows the panel (and fills it) or hides it.
void problems_Toggle();
// Whether the panel is shown (View > Problems is checked).
bool problems_Shown();
// Runs the checks on the current page and brings the panel up to date: nothing when it is
// hidden; the rows are handed to the platform only when they changed.
void problems_Refresh();
// What a click on row `row` of the panel does.
void problems_Activate(int row);
// The findings the panel lists (tests).
const std::vector<CheckFinding>& problems_Findings();
// Forgets the findings and hides the panel's state (tests, shell reset).
void problems_Reset();
// The title of the panel for these findings: its name and the two counts.
std::string problems_Title(const std::vector<CheckFinding>& findings);
