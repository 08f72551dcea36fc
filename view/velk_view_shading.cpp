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
    case CDDS_PREPAINT: MapFileForPaint(); return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_POSTPAINT: UnmapFileAfterPaint(); return CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT: {
        const COLORREF window = ::GetSysColor(COLOR_WINDOW);
        draw->clrTextBk = draw->nmcd.dwItemSpec % 2 ? ShadedRowColour(window) : window;
        if (IsHighlighted(static_cast<int>(draw->nmcd.dwItemSpec)))
            draw->clrTextBk = kFilterMatchColour;
        // The Interpret reading greys a VR that was not read from the file.
        return m_rows.cells_are_utf8() ? CDRF_NEWFONT | CDRF_NOTIFYSUBITEMDRAW : CDRF_NEWFONT;
    }
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const COLORREF window = ::GetSysColor(COLOR_WINDOW);
        draw->clrTextBk = draw->nmcd.dwItemSpec % 2 ? ShadedRowColour(window) : window;
        if (IsHighlighted(static_cast<int>(draw->nmcd.dwItemSpec)))
            draw->clrTextBk = kFilterMatchColour;
        const bool grey =
            draw->iSubItem == dcm_column_vr && PaintFile() &&
            m_rows.vr_from_dictionary(dcm_bytes::of(*PaintFile()),
                                      static_cast<std::size_t>(draw->nmcd.dwItemSpec));
        draw->clrText = ::GetSysColor(grey ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
        return CDRF_NEWFONT;
    }
    default: return CDRF_DODEFAULT;
    }
}

}  // namespace velk
