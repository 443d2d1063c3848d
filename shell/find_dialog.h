// Edit > Find...: the "FINDITEMS" dialog. Each criterion is a drop-down whose first entry is
// "any" (or the name's edit, empty for any); the count of matching items follows every change.
// OK selects them (replacing the selection, or adding to it when the box says so).
#pragma once

#include "logic/find.h"
#include "platform/ui.h"

struct Mission;

class FindDialogProc : public DialogProc {
public:
    explicit FindDialogProc(Mission& page) : page_(page) {}
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;

    // The criteria the controls show (tests).
    FindCriteria criteria(const Dialog& dlg) const;
    // What OK selected: the matching items (tests).
    int selected() const { return selected_; }

private:
    void showCount(Dialog& dlg);

    Mission& page_;
    int selected_ = 0;
};

// Runs the dialog on the page; the number of items selected (0 when cancelled).
int find_RunDialog(Mission& page);
