// The core's process-wide records: the string tables, the file layer (current file and
// archive registry), the line parser and the memory pools. shell/reset.h puts back every layer's.
#pragma once

// Frees the string tables and empties their slots, closes the current file and every
// registered archive, then frees the memory pools (start-up, or a test's ScopedCore, creates
// them again).
void core_ResetLayer();
