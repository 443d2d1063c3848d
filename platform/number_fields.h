// Checking what the user typed into a dialog's number fields before anything is stored.
//
// A field the user did not touch is never refused: a value read from a file is shown as it
// is and kept, even when a user could not have typed it. A field the user edited must hold
// a number within its range; the first that does not is named in a message box, gets the
// focus, and the check fails, so OK stores nothing and the dialog stays open.
#pragma once

#include "platform/ui.h"

#include <functional>
#include <optional>
#include <string>

// The value of a number field's text when it is a number within range (a decimal field's
// value keeps its fraction); nothing otherwise.
std::optional<double> ui_NumberIn(std::string_view text, const NumberRange& range);

// The message that refuses a value for a field named name.
std::string ui_NumberMessage(std::string_view name, const NumberRange& range);

// Refuses the value of one number field: the message, then the focus on the field.
void ui_RefuseNumber(Dialog& dlg, int id, const NumberRange& range);

// Checks every number field of the dialog the user edited against its range; adjust, when
// given, may narrow a field's range to what the dialog's state allows (a number that
// depends on the item's kind, a position on the page's terrain). True when every edited
// field passes; otherwise the first that does not is refused as above.
using NumberRangeAdjust = std::function<NumberRange(int id, const NumberRange& range)>;
bool ui_CheckNumbers(Dialog& dlg, const NumberRangeAdjust& adjust = {});
