#include "logic/reset.h"

#include "logic/events.h"

void logic_ResetLayer() { event_ResetClipboard(); }
