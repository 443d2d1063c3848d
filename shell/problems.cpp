#include "shell/problems.h"

#include "core/text.h"
#include "mapview/view.h"
#include "mission/mission.h"
#include "platform/problems_panel.h"
#include "shell/editor_commands.h"
#include "shell/history.h"
#include "shell/shell.h"

namespace {

constexpr const char* kSec = "Checks";

struct ProblemsState {
    std::vector<CheckFinding> findings;
    std::vector<PanelRow> rows;  // as last handed to the panel
    std::string title;
    bool sent = false;  // rows and title were handed to the panel
};
ProblemsState g;

class Sink : public PanelSink {
public:
    void onPanelRow(int row) override { problems_Activate(row); }
};
Sink gSink;

std::vector<PanelRow> rowsFor(const std::vector<CheckFinding>& findings) {
    std::vector<PanelRow> rows;
    rows.reserve(findings.size());
    for (const CheckFinding& f : findings) {
        const bool error = f.severity == CheckSeverity::Error;
        rows.push_back({text_Printf(kSec, error ? "ROW_ERROR" : "ROW_WARNING", {f.message}), error});
    }
    return rows;
}

bool sameRows(const std::vector<PanelRow>& a, const std::vector<PanelRow>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].text != b[i].text || a[i].error != b[i].error) return false;
    return true;
}

void selectAndCentre(std::int32_t index) {
    Mission& page = mission_CurrentPage();
    if (index < 0 || index >= page.item_count) return;
    mission_ClearSelection(page);
    mission_Select(page, index);
    ViewState& v = view_State();
    v.center_x = page.items[std::size_t(index)].x;
    v.center_y = page.items[std::size_t(index)].y;
    shell_Render();
    shell_RepaintItems();
    shell_RepaintCentre();
}

}  // namespace

std::string problems_Title(const std::vector<CheckFinding>& findings) {
    const int errors = check_ErrorCount(findings);
    return text_Printf(kSec, "PANEL_TITLE", {errors, int(findings.size()) - errors});
}

void problems_Toggle() {
    ProblemsPanel& panel = platform_ProblemsPanel();
    panel.setSink(&gSink);
    const bool on = !panel.shown();
    panel.setShown(on);
    g.sent = false;  // a panel shown again is filled again
    problems_Refresh();
}

bool problems_Shown() { return platform_ProblemsPanel().shown(); }

void problems_Refresh() {
    ProblemsPanel& panel = platform_ProblemsPanel();
    if (!panel.shown()) return;
    g.findings = check_Mission(mission_CurrentPage());
    std::vector<PanelRow> rows = rowsFor(g.findings);
    std::string title = problems_Title(g.findings);
    if (g.sent && title == g.title && sameRows(rows, g.rows)) return;
    panel.setSink(&gSink);
    panel.setTitle(title);
    panel.setRows(rows);
    g.rows = std::move(rows);
    g.title = std::move(title);
    g.sent = true;
}

void problems_Activate(int row) {
    if (row < 0 || std::size_t(row) >= g.findings.size()) return;
    const CheckFinding f = g.findings[std::size_t(row)];
    if (f.target == CheckTarget::Item) {
        selectAndCentre(f.number);
        return;
    }
    const int editor = f.target == CheckTarget::Event   ? cmd::kEvents
                       : f.target == CheckTarget::Group ? cmd::kGroups
                       : f.target == CheckTarget::Path  ? cmd::kWaypoints
                       : f.target == CheckTarget::Area  ? cmd::kAreaTriggers
                                                        : cmd::kGeneralInfo;
    // What the editor changes is one step of the page's history, as from its menu entry.
    history_Begin(editor);
    shell_RunEditorAt(editor, f.number);
    history_End();
    problems_Refresh();
}

const std::vector<CheckFinding>& problems_Findings() { return g.findings; }

void problems_Reset() { g = ProblemsState{}; }
