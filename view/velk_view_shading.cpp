// Every second row drawn on a slightly darker shade of the window colour, so
// that the eye can follow a row across the six columns; rows with findings
// tinted, shaded the same way; and the file mapped once for the length of a paint.
#include "view/velk_view.h"

namespace velk {

COLORREF ShadedRowColour(COLORREF window) {
    const auto shade = [](BYTE v) { return static_cast<BYTE>(v * 98 / 100); };
    return RGB(shade(GetRValue(window)), shade(GetGValue(window)), shade(GetBValue(window)));
}

COLORREF CVelkView::RowBackground(int row) const {
    if (IsHighlighted(row)) return kFilterMatchColour;
    COLORREF colour = ::GetSysColor(COLOR_WINDOW);
    const dcm_row_model& rows = Rows();
    const dcm_problems& problems = m_document.problems();
    if (row >= 0 && std::size_t(row) < rows.size() &&
        problems.marked(rows.record(std::size_t(row)))) {
        colour = kWarningRowColour;
        for (std::size_t i : problems.findings_of(rows.record(std::size_t(row))))
            if (problems.findings().list[i].severity == dcm_severity::error)
                colour = kErrorRowColour;
    }
    return row % 2 ? ShadedRowColour(colour) : colour;
}

LRESULT CVelkView::OnCustomDraw(CMessage& m) {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(m.lParam);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: MapFileForPaint(); return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_POSTPAINT: UnmapFileAfterPaint(); return CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT: {
        draw->clrTextBk = RowBackground(static_cast<int>(draw->nmcd.dwItemSpec));
        // The Interpret reading greys a VR that was not read from the file.
        return Rows().cells_are_utf8() ? CDRF_NEWFONT | CDRF_NOTIFYSUBITEMDRAW : CDRF_NEWFONT;
    }
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        draw->clrTextBk = RowBackground(static_cast<int>(draw->nmcd.dwItemSpec));
        const bool grey =
            draw->iSubItem == dcm_column_vr && PaintFile() &&
            Rows().vr_from_dictionary(dcm_bytes::of(*PaintFile()),
                                      static_cast<std::size_t>(draw->nmcd.dwItemSpec));
        draw->clrText = ::GetSysColor(grey ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
        return CDRF_NEWFONT;
    }
    default: return CDRF_DODEFAULT;
    }
}

}  // namespace velk
