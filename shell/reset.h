// Process-wide state, all of it: every layer keeps a few records for the process (the file
// layer's archives, the string tables, the item definitions, skies, models, terrain state,
// image reader settings, both pages and the clipboard, the event clipboard, view, gesture and
// interaction state, the shell and its dialogs). One call puts them all back.
#pragma once

// Puts every process-wide record back to its start value and frees the string tables and
// the memory pools (start-up, or a test's ScopedCore, creates the pools again).
void sortie_ResetProcess();
