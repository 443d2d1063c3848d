// The commands that open the mission editors: item attributes (170, also a click on the
// selection pane), general information (185), waypoints (223), events (224), groups (225)
// and area triggers (40004). Each runs its editor on the current page and refreshes what the
// editor may have changed.
#pragma once

#include <cstdint>

// Runs the editor command; ids that open no editor do nothing.
void shell_RunEditor(int command);
// The same, showing a record first: the event (events), the group, path or area (the record
// editors); the other editors ignore start.
void shell_RunEditorAt(int command, std::int32_t start);
