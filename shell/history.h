// The shell's side of undo, redo, the modified state, saving and recovery.
//
// Every command of the dispatcher and every mouse event of the map pane runs between
// history_Begin and history_End (or their map forms); the outermost End takes one step of the
// page's history when the page changed, named after what the command did. An action stays
// open while a mouse gesture is in progress, so a whole gesture is one step. Afterwards the
// title (the modified mark) and the Undo and Redo entries of the Edit menu are brought up to
// date.
//
// Save writes to the page's file, or asks like Save As when the page has none. Open, Clear
// Page and exit ask about a page only when it is modified. The backups (every ten minutes, or
// as set) are written for modified pages only, into a folder of this editor's own; a save or
// a clean exit makes them stale. At start-up each backup of an editor that no longer runs,
// newer than its page's file and read completely, is offered into a page that can take it;
// it is deleted once answered, and kept when it cannot be offered.
#pragma once

#include "platform/ui.h"

#include <map>
#include <string>
#include <vector>

// Both pages as they are now are what their files hold (start-up).
void history_Reset();
// Forgets the histories and the open action; they start again on first use (tests).
void history_Forget();
// The page's content is new: opened (saved true) or recovered (saved false).
void history_Baseline(int page, bool saved);
// The page differs from what was last opened or saved.
bool history_PageModified(int page);

// Around one command of the dispatcher (its id names the step).
void history_Begin(int commandId);
void history_End();
// Around one mouse event of the map pane.
void history_MapBegin(MouseButton button, unsigned mods, bool press);
void history_MapEnd();

// Undo (undo true) or Redo on a page; a gesture in progress ends first.
void history_Undo(int page, bool undo);
// Whether the page has a step to undo (undo true) or to redo.
bool history_CanUndo(int page, bool undo);
// The Edit menu's Undo and Redo texts for a page, naming the step they would take.
std::string history_UndoLabel(int page);
std::string history_RedoLabel(int page);

// Save (askName false: to the page's file when it has one) and Save As. true when written.
bool history_SavePage(int page, bool askName);
// Asks whether a modified page is to be saved first (Open, Clear Page); true when the caller
// may go on (not modified, saved, or the changes given up).
bool history_AskAboutPage(int page, const char* captionKey);

// The window title with the modified mark of the current page.
std::string history_MarkTitle(const std::string& title);

// The ten-minute backups: written for modified pages that hold items.
void history_WriteBackups();
// Start-up: offers each backup that is newer than its page's file once. Only when the
// backups are kept (ShellArgs::recovery).
void history_OfferRecovery();
// A clean exit: the backups are stale.
void history_CleanExit();
// The page's file as it is on disk now is what the page read or wrote (after Open and every
// write); Save asks before it overwrites a file that changed since.
void history_NoteFileOnDisk(int page);
bool history_FileChangedOnDisk(int page);
// The page other than except whose file is path (the same file, however named); -1 for none.
int history_PageHolding(const std::string& path, int except);
// The page holds recovered work not saved since: its first Save asks for a name.
bool history_PageRecovered(int page);
// The notes of a backup folder (backups.txt): "page1.file" and "page2.file" to absolute paths
// (or empty); anything else the file holds is ignored.
std::map<std::string, std::string> history_ReadBackupNotes(const std::string& folder);
// Where this editor writes the page's backup; empty before its first backup.
std::string history_BackupPath(int page);
