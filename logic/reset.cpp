#include "logic/reset.h"

#include "logic/events.h"
#include "logic/records_editor.h"

void logic_ResetLayer() {
    event_ResetClipboard();
    records_Hooks() = {};
}
