// Templates of the groups, waypoints and area-trigger editors. Their control ids belong to
// the editors' procedure (logic/records_editor.h); captions are the string-table keys
// (section "Dialog Message") the procedure looks up when a dialog opens.
#pragma once

#include "logic/records_editor.h"
#include "resources/templates.h"

extern const DialogTemplate kDlgEditGroups;
extern const DialogTemplate kDlgEditWaypoints;
extern const DialogTemplate kDlgEditAreaTriggers;
