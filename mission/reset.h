// The mission layer's process-wide records: both pages and the clipboard.
// shell/reset.h puts back every layer's.
#pragma once

void mission_ResetLayer();
