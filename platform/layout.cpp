#include "platform/layout.h"

namespace {

PaneRect span(int left, int top, int right, int bottom) {
    PaneRect r;
    r.x = left;
    r.y = top;
    r.w = right >= left ? right - left + 1 : 0;
    r.h = bottom >= top ? bottom - top + 1 : 0;
    return r;
}

}  // namespace

MainPaneLayout layout_MainPanes(int clientWidth, int clientHeight, CharMetrics m) {
    const int cw = m.cw, ch = m.ch;
    MainPaneLayout l;
    l.map = span(27 * cw, 3 * ch, clientWidth - cw, clientHeight - ch / 2);
    l.selection = span(cw, 24 * ch, 26 * cw, clientHeight - ch / 2);
    l.centre = span(27 * cw, ch / 2, 74 * cw, 2 * ch + ch / 8);  // the position and the scale
    return l;
}
