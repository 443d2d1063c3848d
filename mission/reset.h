// The mission layer's process-wide records: both pages and the clipboard, their undo
// histories and the item attributes editor's hooks.
// shell/reset.h puts back every layer's.
#pragma once

void mission_ResetLayer();
