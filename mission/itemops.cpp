#include "mission/itemops.h"

#include "core/text.h"
#include "platform/ui.h"

#include <algorithm>

int itemops_Copy(Mission& page, Mission& clipboard) {
    const std::int32_t ref = mission_ReferenceItem(page);
    if (ref < 0) return 0;
    if (&page == &clipboard) return 0;  // the clipboard is never a page being edited
    const std::int32_t rx = page.items[ref].x;
    const std::int32_t ry = page.items[ref].y;
    mission_Clear(clipboard);
    mission_CopySelected(clipboard, page, -rx, -ry, 0);
    return 1;
}

int itemops_Cut(Mission& page, Mission& clipboard) {
    if (!itemops_Copy(page, clipboard)) return 0;
    mission_DeleteSelected(page);
    return 1;
}

void itemops_Delete(Mission& page) { mission_DeleteSelected(page); }

void itemops_HideSelected(Mission& page) {
    mission_HideSelected(page);
    mission_ClearSelection(page);
}

void itemops_HideUnselected(Mission& page) { mission_HideUnselected(page); }

void itemops_UnhideAll(Mission& page) { mission_UnhideAll(page); }

int itemops_SelectThisType(Mission& page, std::uint32_t showFlags) {
    if (mission_ReferenceItem(page) < 0) return 0;
    mission_SelectType(page, showFlags);
    return 1;
}

void itemops_ClearSelection(Mission& page) { mission_ClearSelection(page); }

int itemops_SelectAll(Mission& page, std::uint32_t showFlags) {
    mission_ClearSelection(page);
    const std::int32_t count = std::clamp(page.item_count, 0, kMaxItems);
    for (std::int32_t i = 0; i < count; ++i)
        if (mission_ItemShown(page, i, showFlags)) mission_Select(page, i);
    return page.selection.count;
}

void itemops_ReportNoRoom(std::int32_t wanted, std::int32_t placed) {
    if (placed >= wanted) return;
    ui_MessageBox(text_Printf("Dialog Message", "ITEMS_DID_NOT_FIT", {placed, wanted, kMaxItems, wanted - placed}),
                  text_Get("Dialog Message", "ITEM_LIMIT"), MsgIcon::Warning, MsgButtons::Ok);
}
