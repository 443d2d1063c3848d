// Templates of the events editor: the Events dialog and the trigger and action dialogs.
// Their control ids are the editor's own (logic/events_editor.h).
#pragma once

#include "resources/templates.h"

extern const DialogTemplate kDlgEditEvents;
extern const DialogTemplate kDlgEventTriggers;
extern const DialogTemplate kDlgEventActions;
