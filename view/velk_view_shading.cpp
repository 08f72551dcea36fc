// Every second row drawn on a slightly darker shade of the window colour, so
// that the eye can follow a row across the six columns; and the file mapped
// once for the length of a paint.
#include "view/velk_view.h"

namespace velk {

COLORREF ShadedRowColour(COLORREF window) {
    const auto shade = [](BYTE v) { return static_cast<BYTE>(v * 98 / 100); };
    return RGB(shade(GetRValue(window)), shade(GetGValue(window)), shade(GetBValue(window)));
}

LRESULT CVelkView::OnCustomDraw(CMessage& m) {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(m.lParam);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        MapFileForPaint();
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_POSTPAINT:
        UnmapFileAfterPaint();
        return CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT: {
        const COLORREF window = ::GetSysColor(COLOR_WINDOW);
        draw->clrTextBk = draw->nmcd.dwItemSpec % 2 ? ShadedRowColour(window) : window;
        if (IsHighlighted(static_cast<int>(draw->nmcd.dwItemSpec))) draw->clrTextBk = kFilterMatchColour;
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

}  // namespace velk
