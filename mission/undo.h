// Undo and redo of a page, and whether the page differs from what was last opened or saved.
//
// A page's tables are one trivially copyable block, so a step is taken by comparison rather
// than by an inverse for every command: the history keeps a copy of the tables as they stood
// after the last step (the base); after a command the page is compared with the base in
// 64-byte blocks, and the step keeps only the changed blocks, as the exclusive-or of old and
// new, with the zero runs squeezed out. The same bytes take the page back and forth: undo and
// redo both apply the step's exclusive-or to the page and to the base.
//
// Every byte of the tables is content: what is worked out from it lives in an index beside
// the page (mission/index.h) and the selection and display marks in the page's session
// record, so nothing that only reads the page (drawing, saving, exporting) can make a step or
// a false "modified". The selection has no step of its own; each step keeps it as it stood
// before and after, and undo and redo put it back.
//
// Besides the tables a step carries the wind list and the page's file path (beside the tables)
// when they changed, e.g. Clear Page; a save or an open sets the path without a step. A step that changes the
// terrain name reloads the page's terrain when it is undone or redone.
//
// Steps are kept within a memory budget; the oldest go first. The saved state is a position
// in the step history: the page is modified when it is not at that position, when its tables
// differ from the base (a change no step has taken yet), or when the saved state has left the
// history (dropped for the budget, or cut off by a new step after an undo).
#pragma once

#include "mission/mission.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

struct UndoStep {
    std::string name;                 // string-table key of what the step did (section "Undo")
    std::vector<std::uint8_t> delta;  // the changed blocks, coded (see undo.cpp)
    std::vector<std::int32_t> selectionBefore, selectionAfter;
    bool windChanged = false;
    std::vector<WindEntry> windBefore, windAfter;
    bool pathChanged = false;
    std::string pathBefore, pathAfter;
    bool terrainChanged = false;  // the terrain name differs before and after
    std::size_t bytes() const;    // memory the step holds
};

// What an undo or redo did.
struct UndoResult {
    bool done = false;            // there was a step to take back or again
    bool terrainChanged = false;  // the page now names another terrain
    bool itemsAdded = false;      // the page holds more items than before
};

constexpr std::size_t kUndoDefaultBudget = 64u << 20;

class UndoHistory {
public:
    UndoHistory();
    ~UndoHistory();
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // Forgets every step and takes the page as it is now as the base. saved: this state is
    // what the page's file holds (opened, or an empty page); otherwise the page counts as
    // modified until it is saved.
    void reset(const Mission& m, bool saved);
    bool started() const { return base_ != nullptr; }
    // Back to not started: no base, no steps, the default budget.
    void forget();

    // Takes a step named nameKey when the page differs from the base; selectionBefore is the
    // selection as it stood when the command began. true when a step was taken.
    bool commit(const Mission& m, const char* nameKey, const std::vector<std::int32_t>& selectionBefore);
    // Whether the page differs from the base (content no step has taken yet).
    bool pending(const Mission& m) const;

    // Takes the last step back, or the next one again. Pending changes must have been
    // committed first (the page must equal the base).
    UndoResult undo(Mission& m);
    UndoResult redo(Mission& m);
    bool canUndo() const { return pos_ > 0; }
    bool canRedo() const { return pos_ < steps_.size(); }
    // Name keys of the step undo and redo would take; nullptr when there is none.
    const char* undoName() const;
    const char* redoName() const;
    // Whether the last step taken changed the terrain name.
    bool lastChangedTerrain() const { return pos_ > 0 && steps_[pos_ - 1].terrainChanged; }
    // Gives the last step taken another name.
    void renameLast(const char* nameKey) {
        if (pos_ > 0) steps_[pos_ - 1].name = nameKey ? nameKey : "";
    }
    std::size_t undoCount() const { return pos_; }
    std::size_t redoCount() const { return steps_.size() - pos_; }

    // The page as it stands now is what its file holds (after a save). Pending changes must
    // have been committed; the page's file path becomes the base's without a step.
    void markSaved(const Mission& m);
    // The page's file path becomes the base's without a step (a save names the file).
    void adoptPath(const Mission& m);
    // The page's content is on no file (a recovered page).
    void markUnsaved() { saved_ = -1; }
    // Differs from what was last opened or saved.
    bool modified(const Mission& m) const { return modifiedAfterCommit() || pending(m); }
    // The same, when the page is known to equal the base (right after a commit).
    bool modifiedAfterCommit() const { return saved_ < 0 || saved_ != std::int64_t(first_ + pos_); }

    // Memory the steps hold, and the budget they are kept within (the newest step stays
    // whatever its size).
    std::size_t bytes() const { return bytes_; }
    void setBudget(std::size_t bytes);
    std::size_t budget() const { return budget_; }

private:
    void apply(Mission& m, const UndoStep& s, bool forward);
    void trim();

    std::unique_ptr<MissionTables> base_;
    std::vector<WindEntry> baseWind_;
    std::string basePath_;
    std::deque<UndoStep> steps_;  // [0, pos_) can be undone, [pos_, size) redone
    std::size_t pos_ = 0;
    std::uint64_t first_ = 0;  // steps dropped from the front so far
    std::int64_t saved_ = 0;   // absolute position of the saved state; -1 none
    std::size_t bytes_ = 0;
    std::size_t budget_ = kUndoDefaultBudget;
};

// The selection of a page as a list of item indexes, in selection order.
std::vector<std::int32_t> undo_Selection(const Mission& m);

// The two pages' histories (process-wide; the shell resets them).
UndoHistory& undo_PageHistory(int page);

// The page's tables equal other's byte for byte, and so do its wind list and file path.
bool undo_SameContent(const Mission& a, const Mission& b);
