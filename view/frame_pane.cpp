#include "view/frame_pane.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>

#include "parse/mapping.h"
#include "view/wide_text.h"

namespace velk {

namespace {

constexpr COLORREF kBackground = RGB(32, 32, 32);
constexpr COLORREF kText = RGB(230, 230, 120);
constexpr int kTextLine = 18;  // the line of words along the top

}  // namespace

void CFramePane::ShowPixels(dcm_document& document, dcm_bytes file, std::uint64_t offset,
                            bool inflated) {
    m_document = &document;
    document.show_pixels(file, offset, inflated);
    SetPointer({});
    MakeBitmap();
}

const dcm_frame_viewer& CFramePane::Viewer() const {
    static const dcm_frame_viewer none;
    return m_document ? m_document->frame() : none;
}

void CFramePane::ShowFrame(std::uint32_t index) {
    if (!m_document) return;
    m_document->show_frame(index);
    MakeBitmap();
}

void CFramePane::RestoreWindow() {
    if (!m_document) return;
    m_document->restore_window();
    MakeBitmap();
}

// The status bar hears of a change only: a move within one pixel costs nothing.
void CFramePane::SetPointer(std::wstring pixel) {
    if (pixel == m_pointer) return;
    m_pointer = std::move(pixel);
    if (m_tellPointer) m_tellPointer(m_pointer);
}

std::wstring CFramePane::FrameText() const {
    wchar_t text[64];
    swprintf(text, 64, L"Frame %u of %u", Viewer().frame() + 1, Viewer().frames());
    return text;
}

// The image as a DIB: rows bottom-up, blue-green-red, each a multiple of four bytes.
void CFramePane::MakeBitmap() {
    m_bitmap.clear();
    if (Viewer().has_image()) {
        const dcm_display_image& image = Viewer().image();
        const std::size_t stride = (std::size_t(image.columns) * 3 + 3) & ~std::size_t(3);
        m_bitmap.assign(stride * image.rows, 0);
        for (std::uint32_t y = 0; y < image.rows; ++y) {
            unsigned char* out = &m_bitmap[stride * (image.rows - 1 - y)];
            const unsigned char* in =
                &image.pixels[std::size_t(y) * image.columns * image.channels];
            for (std::uint32_t x = 0; x < image.columns; ++x, in += image.channels, out += 3) {
                const bool grey = image.channels == 1;
                out[0] = grey ? in[0] : in[2];
                out[1] = grey ? in[0] : in[1];
                out[2] = in[0];
            }
        }
    }
    ShowWords();
    if (m_hWnd) Invalidate(FALSE);
}

// The largest rectangle of the image's shape (its aspect ratio) below the text line.
RECT CFramePane::ImageRect() const {
    RECT area{};
    ::GetClientRect(m_hWnd, &area);
    area.top += kTextLine;
    const dcm_display_image& image = Viewer().image();
    if (image.columns == 0 || area.bottom <= area.top) return RECT{};
    const double width = image.columns, height = image.rows * Viewer().aspect();
    const double scale =
        std::min((area.right - area.left) / width, (area.bottom - area.top) / height);
    const int w = std::max(1, int(width * scale)), h = std::max(1, int(height * scale));
    const int left = area.left + (area.right - area.left - w) / 2;
    const int top = area.top + (area.bottom - area.top - h) / 2;
    return RECT{left, top, left + w, top + h};
}

// The line along the top: the frame, the window and the pixel under the
// pointer, or why there is no image.
std::wstring CFramePane::Words() const {
    if (!Viewer().has_image()) return WidenUtf8(Viewer().problem());
    wchar_t window[96] = L"";
    if (Viewer().windowed())
        swprintf(window, 96, L"   W %g  L %g", Viewer().window().width, Viewer().window().center);
    return FrameText() + window + L"   " + m_pointer;
}

void CFramePane::ShowWords() {
    if (m_hWnd) ::SetWindowTextW(m_hWnd, Words().c_str());
}

void CFramePane::Paint() {
    PAINTSTRUCT ps;
    const HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT area{};
    ::GetClientRect(m_hWnd, &area);
    const HBRUSH background = ::CreateSolidBrush(kBackground);
    ::FillRect(dc, &area, background);
    ::DeleteObject(background);
    if (Viewer().has_image()) {
        const dcm_display_image& image = Viewer().image();
        const RECT to = ImageRect();
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = LONG(image.columns);
        info.bmiHeader.biHeight = LONG(image.rows);
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        ::SetStretchBltMode(dc, image.columns > UINT(to.right - to.left) ? HALFTONE : COLORONCOLOR);
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
        ::StretchDIBits(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, 0, 0,
                        int(image.columns), int(image.rows), m_bitmap.data(), &info, DIB_RGB_COLORS,
                        SRCCOPY);
    }
    const std::wstring words = Words();
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kText);
    const HGDIOBJ font = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    RECT line{4, 2, area.right - 4, kTextLine};
    ::DrawTextW(dc, words.c_str(), int(words.size()), &line,
                DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SelectObject(dc, font);
    ::EndPaint(m_hWnd, &ps);
}

void CFramePane::OnMouseMove(int x, int y) {
    if (m_dragging && m_document) {
        m_document->drag_window(x - m_dragFrom.x, y - m_dragFrom.y);
        m_dragFrom = {x, y};
        MakeBitmap();
    }
    const RECT to = ImageRect();
    const dcm_display_image& image = Viewer().image();
    std::wstring pixel;
    if (image.columns && x >= to.left && x < to.right && y >= to.top && y < to.bottom) {
        const auto column =
            std::uint32_t(std::int64_t(x - to.left) * image.columns / (to.right - to.left)) + 1;
        const auto row =
            std::uint32_t(std::int64_t(y - to.top) * image.rows / (to.bottom - to.top)) + 1;
        pixel = WidenUtf8(Viewer().pixel_text(column, row));
    }
    SetPointer(std::move(pixel));
    if (!m_trackingLeave) {
        TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, m_hWnd, 0};
        m_trackingLeave = ::TrackMouseEvent(&leave) != FALSE;
    }
    ShowWords();
    RECT line{0, 0, 0, kTextLine};
    ::GetClientRect(m_hWnd, &line);
    line.bottom = kTextLine;
    ::InvalidateRect(m_hWnd, &line, FALSE);
}

bool CFramePane::ProcessWindowMessage(CMessage& m) {
    switch (m.message) {
    case WM_PAINT: Paint(); return true;
    case WM_ERASEBKGND: m.result = TRUE; return true;
    case WM_SIZE: Invalidate(FALSE); return false;
    case WM_LBUTTONDOWN: ::SetFocus(m_hWnd); return true;
    case WM_RBUTTONDOWN:
        ::SetFocus(m_hWnd);
        m_dragging = true;
        m_dragFrom = {GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
        ::SetCapture(m_hWnd);
        return true;
    case WM_RBUTTONUP:
        if (m_dragging) ::ReleaseCapture();
        return true;
    case WM_CAPTURECHANGED: m_dragging = false; return false;
    case WM_MOUSEMOVE: OnMouseMove(GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)); return true;
    case WM_MOUSELEAVE:
        m_trackingLeave = false;
        SetPointer({});
        ShowWords();
        return true;
    case WM_SHOWWINDOW:
        if (!m.wParam) SetPointer({});  // another row: no pixel under the pointer
        return false;
    case WM_GETDLGCODE: m.result = DLGC_WANTARROWS; return true;
    case WM_KEYDOWN:
        if (m.wParam == VK_NEXT && Viewer().frame() + 1 < Viewer().frames())
            ShowFrame(Viewer().frame() + 1);
        else if (m.wParam == VK_PRIOR && Viewer().frame() > 0)
            ShowFrame(Viewer().frame() - 1);
        else if (m.wParam == VK_HOME)
            RestoreWindow();
        else
            return false;
        return true;
    default: return false;
    }
}

}  // namespace velk
