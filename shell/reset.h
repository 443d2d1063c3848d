// Process-wide state, all of it: every layer keeps a few records for the process and has one
// entry that puts its own back (core/reset.h, gamedata/reset.h, mission/reset.h,
// logic/reset.h, mapview/reset.h, and the shell's below). sortie_ResetProcess runs them all,
// from the top down; tests call it, or the entries of the layers they use, between cases.
#pragma once

// The shell's records: its state (with the undo history), the view it drives, and the dialogs'.
void shell_ResetLayer();

// Puts every process-wide record back to its start value and frees the string tables and
// the memory pools (start-up, or a test's ScopedCore, creates the pools again).
void sortie_ResetProcess();
