#include "platform/problems_panel.h"

namespace {

MemoryProblemsPanel gDefault;
ProblemsPanel* gPanel = nullptr;

}  // namespace

ProblemsPanel& platform_ProblemsPanel() { return gPanel ? *gPanel : gDefault; }

void platform_SetProblemsPanel(ProblemsPanel* panel) {
    gPanel = panel;
    if (!panel) gDefault = MemoryProblemsPanel{};
}
